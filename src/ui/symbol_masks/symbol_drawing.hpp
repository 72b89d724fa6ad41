#pragma once

#include <QByteArray>
#include <QColor>
#include <QRect>

class QPainter;
class QSvgRenderer;

namespace lumaro::ui {

// The symbol's SVG with its currentColor made `color` (opaque: SVG colour
// syntax has no alpha, so callers apply it as painter opacity).
QByteArray tintedSymbol(QByteArray svg, const QColor& color);

// Draws the symbol square and centred in whatever rectangle is offered.
void drawSymbol(QPainter& painter, QSvgRenderer& renderer, const QRect& rect);

}  // namespace lumaro::ui
