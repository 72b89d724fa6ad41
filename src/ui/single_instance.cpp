#include "ui/single_instance.hpp"

#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

namespace lumaro::ui {

namespace {
constexpr char kActivateRequest[] = "activate\n";
constexpr char kAcknowledge[] = "ok\n";
}  // namespace

SingleInstance::SingleInstance(QString key, QObject* parent) : QObject(parent), key_(std::move(key)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() { return QStringLiteral("lumaro-%1").arg(::getuid()); }

bool SingleInstance::becomePrimary() {
  if (server_ != nullptr) return true;
  if (askPrimaryToActivate(500)) return false;

  auto* server = new QLocalServer(this);
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(key_)) {
    // Nobody answered above, so a socket file on this name is a leftover of
    // an instance that did not exit cleanly.
    QLocalServer::removeServer(key_);
    if (!server->listen(key_)) {
      delete server;
      return false;
    }
  }
  server_ = server;
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
  return true;
}

bool SingleInstance::askPrimaryToActivate(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(key_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivateRequest);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine() == kAcknowledge;
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      const QByteArray request = socket->readLine();
      if (request != kActivateRequest) {
        socket->disconnectFromServer();
        return;
      }
      socket->write(kAcknowledge);
      socket->flush();
      Q_EMIT activationRequested();
    });
  }
}

}  // namespace lumaro::ui
