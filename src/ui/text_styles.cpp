#include "ui/text_styles.hpp"

#include <QWidget>

namespace lumaro::ui::styles {
namespace {

QFont scaled(const QFont& base, qreal factor) {
  QFont font = base;
  if (base.pointSizeF() > 0) {
    font.setPointSizeF(base.pointSizeF() * factor);
  } else if (base.pixelSize() > 0) {
    font.setPixelSize(std::max(8, static_cast<int>(base.pixelSize() * factor)));
  }
  return font;
}

}  // namespace

QFont headline(const QFont& base) {
  QFont font = base;
  font.setWeight(QFont::Bold);
  return font;
}

// The ratios follow a 13-point body text: caption 10.5 and caption2 10 points.
QFont caption(const QFont& base) { return scaled(base, 0.85); }
QFont caption2(const QFont& base) { return scaled(base, 0.78); }

QFont footnote(const QFont& base, qreal pointSize) {
  QFont font = base;
  font.setPointSizeF(pointSize);
  return font;
}

QColor secondary(const QPalette& palette) {
  QColor color = palette.color(QPalette::WindowText);
  color.setAlphaF(0.6f);
  return color;
}

void makeSecondary(QWidget& widget) {
  QPalette palette = widget.palette();
  const QColor color = secondary(palette);
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Text, color);
  widget.setPalette(palette);
}

QColor link(const QPalette& palette) {
  // A dark window gets the lighter blue so the link keeps its contrast.
  return palette.color(QPalette::Window).lightnessF() < 0.5 ? QColor(0x40, 0x9c, 0xff) : QColor(0x00, 0x6a, 0xd6);
}

}  // namespace lumaro::ui::styles
