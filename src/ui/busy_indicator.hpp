#pragma once

#include <QTimer>
#include <QWidget>

namespace lumaro::ui {

// An indeterminate spinner without a label: twelve spokes whose brightness
// rotates. It animates only while visible.
class BusyIndicator final : public QWidget {
  Q_OBJECT

 public:
  // `scale` shrinks or grows the spinner about its centre (1.0 = the style's
  // small icon size).
  explicit BusyIndicator(qreal scale = 1.0, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  bool isAnimating() const { return timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  qreal scale_;
  int step_ = 0;
  QTimer timer_;
};

}  // namespace lumaro::ui
