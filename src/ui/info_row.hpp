#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace lumaro::ui {

// One decoded EDID field: its title in small upper-case secondary text above
// the value, both shown verbatim.
class InfoRow final : public QWidget {
  Q_OBJECT

 public:
  InfoRow(const QString& title, const QString& value, QWidget* parent = nullptr);

  void setValue(const QString& value);
  QString shownTitle() const;
  QString shownValue() const;

 private:
  QLabel* title_;
  QLabel* value_;
};

}  // namespace lumaro::ui
