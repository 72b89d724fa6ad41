#include "ui/symbol_masks/symbol_masks.hpp"

#include <QPainter>
#include <cstring>

namespace lumaro::ui {
namespace {

// Offsets into one byte array, not pointers: no relocations, so only the
// masks drawn become resident.
struct SymbolMask {
  char name[24];
  int side;
  int offset;
};

#include "symbol_masks_table.inc"

}  // namespace

std::optional<QImage> maskedSymbol(const QString& name, int side, const QColor& color, qreal opacity) {
  const QByteArray key = name.toLatin1();
  for (const SymbolMask& mask : kSymbolMasks) {
    if (mask.side != side || key != mask.name) continue;
    const QImage coverage(kSymbolMaskBytes + mask.offset, side, side, side, QImage::Format_Alpha8);
    QImage tinted(side, side, QImage::Format_ARGB32_Premultiplied);
    tinted.fill(color.rgb());  // opaque: the alpha comes in as opacity below
    {
      QPainter painter(&tinted);
      painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
      painter.drawImage(0, 0, coverage);
    }
    QImage symbol(side, side, QImage::Format_ARGB32_Premultiplied);
    symbol.fill(Qt::transparent);
    QPainter painter(&symbol);
    painter.setOpacity(color.alphaF() * opacity);
    painter.drawImage(0, 0, tinted);
    return symbol;
  }
  return std::nullopt;
}

}  // namespace lumaro::ui
