#include "ui/elided_label.hpp"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <cmath>

namespace lumaro::ui {

ElidedLabel::ElidedLabel(QString text, QWidget* parent) : QWidget(parent), text_(std::move(text)) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setAccessibleName(text_);
}

void ElidedLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  setAccessibleName(text_);
  updateGeometry();
  update();
}

bool ElidedLabel::isElided() const {
  return fontMetrics().elidedText(text_, Qt::ElideRight, contentsRect().width()) != text_;
}

QSize ElidedLabel::sizeHint() const {
  // Rounded up: eliding compares fractional advances, so a width rounded
  // down would shorten a text that fits.
  const QFontMetricsF metrics(font());
  return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text_))) + 1, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  // Room for a couple of letters and the ellipsis.
  return {std::min(metrics.horizontalAdvance(text_), metrics.horizontalAdvance(QStringLiteral("Wi…"))),
          metrics.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  const QString shown = fontMetrics().elidedText(text_, Qt::ElideRight, area.width());
  QStyleOption option;
  option.initFrom(this);
  style()->drawItemText(&painter, area, Qt::AlignLeft | Qt::AlignVCenter, option.palette, isEnabled(), shown,
                        QPalette::WindowText);
}

void ElidedLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) updateGeometry();
  QWidget::changeEvent(event);
}

}  // namespace lumaro::ui
