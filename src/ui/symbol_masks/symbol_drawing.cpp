#include "ui/symbol_masks/symbol_drawing.hpp"

#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>

namespace lumaro::ui {

QByteArray tintedSymbol(QByteArray svg, const QColor& color) {
  return svg.replace("currentColor", color.name(QColor::HexRgb).toLatin1());
}

void drawSymbol(QPainter& painter, QSvgRenderer& renderer, const QRect& rect) {
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(rect.width(), rect.height());
  renderer.render(&painter, QRect(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side));
}

}  // namespace lumaro::ui
