#include "ui/elided_label.hpp"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

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

bool ElidedLabel::isElided() const { return fontMetrics().horizontalAdvance(text_) > contentsRect().width(); }

QSize ElidedLabel::sizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  return {metrics.horizontalAdvance(text_), metrics.height()};
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
