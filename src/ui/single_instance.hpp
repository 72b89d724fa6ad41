#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace lumaro::ui {

// Keeps one Lumaro per user session. The first instance listens on a local
// socket; a later one connects, asks it to show its window, and exits instead
// of adding a second tray item.
class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  // `key` names the socket; the default is per user so two users on one
  // machine each get their own instance.
  explicit SingleInstance(QString key = defaultKey(), QObject* parent = nullptr);
  ~SingleInstance() override;

  static QString defaultKey();

  // True when no other instance answers and this one now listens. A socket
  // left behind by a crashed instance is cleaned up and taken over.
  bool becomePrimary();

  // Asks the running instance to show its window; true when it acknowledged.
  bool askPrimaryToActivate(int timeoutMs = 1000) const;

 Q_SIGNALS:
  // Another instance asked this one to show its window.
  void activationRequested();

 private:
  void acceptConnections();

  QString key_;
  QLocalServer* server_ = nullptr;
};

}  // namespace lumaro::ui
