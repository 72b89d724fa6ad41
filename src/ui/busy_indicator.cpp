#include "ui/busy_indicator.hpp"

#include <QPainter>
#include <QStyle>
#include <cmath>

namespace lumaro::ui {
namespace {
constexpr int kSpokes = 12;
constexpr int kFrameMs = 80;
}  // namespace

BusyIndicator::BusyIndicator(qreal scale, QWidget* parent) : QWidget(parent), scale_(scale) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  timer_.setInterval(kFrameMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    step_ = (step_ + 1) % kSpokes;
    update();
  });
}

QSize BusyIndicator::sizeHint() const {
  // The nominal spinner is a little larger than a small icon; the scale
  // applies about the centre, so the widget itself shrinks with it.
  const int nominal = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) + 4;
  const int side = std::max(6, static_cast<int>(std::lround(nominal * scale_)));
  return {side, side};
}

void BusyIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = std::min(width(), height());
  painter.translate(width() / 2.0, height() / 2.0);
  const qreal outer = side / 2.0;
  const qreal inner = outer * 0.45;
  QPen pen(palette().color(QPalette::WindowText));
  pen.setWidthF(std::max(1.0, side / 10.0));
  pen.setCapStyle(Qt::RoundCap);
  for (int i = 0; i < kSpokes; ++i) {
    // The spoke at the current step is darkest; the others fade behind it.
    const int age = (step_ - i + kSpokes) % kSpokes;
    QColor color = pen.color();
    color.setAlphaF(static_cast<float>(1.0 - 0.75 * age / (kSpokes - 1)));
    pen.setColor(color);
    painter.setPen(pen);
    painter.save();
    painter.rotate(360.0 * i / kSpokes);
    painter.drawLine(QPointF(0, -inner), QPointF(0, -outer + pen.widthF() / 2));
    painter.restore();
  }
}

void BusyIndicator::showEvent(QShowEvent* event) {
  timer_.start();
  QWidget::showEvent(event);
}

void BusyIndicator::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

}  // namespace lumaro::ui
