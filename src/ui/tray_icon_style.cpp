#include "ui/tray_icon_style.hpp"

#include <algorithm>
#include <cmath>

#include "ui/symbol_icons.hpp"

namespace lumaro::ui {
namespace {

const QColor kLightSymbol(0xF2, 0xF2, 0xF2);
const QColor kDarkSymbol(0x1E, 0x1E, 0x1E);

// Relative luminance as WCAG defines it, for the contrast ratio below.
double luminance(const QColor& color) {
  const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  const QColor rgb = color.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

QColor symbolColorOn(const QColor& background) {
  return contrast(background, kLightSymbol) >= contrast(background, kDarkSymbol) ? kLightSymbol : kDarkSymbol;
}

std::optional<QColor> panelColorAround(const QImage& surroundings, int margin) {
  if (surroundings.isNull() || margin <= 0) return std::nullopt;
  const QImage image = surroundings.convertToFormat(QImage::Format_RGB32);
  const QRect item = image.rect().adjusted(margin, margin, -margin, -margin);
  double red = 0;
  double green = 0;
  double blue = 0;
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (item.contains(x, y)) continue;
      red += qRed(line[x]);
      green += qGreen(line[x]);
      blue += qBlue(line[x]);
      ++count;
    }
  }
  if (count == 0) return std::nullopt;
  return QColor(static_cast<int>(red / count), static_cast<int>(green / count), static_cast<int>(blue / count));
}

QIcon traySymbol(const QColor& color, bool themed) {
  QIcon drawn = symbolIcon(QString::fromLatin1(symbols::kSunMaxFill), color);
  if (!themed) return drawn;
  return QIcon::fromTheme(QString::fromLatin1(kSymbolicIconName), drawn);
}

}  // namespace lumaro::ui
