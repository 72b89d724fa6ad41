#include "ui/symbol_icons.hpp"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "ui/symbol_masks/symbol_drawing.hpp"
#include "ui/symbol_masks/symbol_masks.hpp"

namespace lumaro::ui {
namespace {

// The pixels of `image` that carry paint, those among the solid ones that are
// not in `colour` (faint antialiased edges lose too much precision to
// compare), and the strongest alpha.
struct Ink {
  int painted = 0;
  int offColour = 0;
  int peakAlpha = 0;
};

Ink inkOf(const QImage& image, const QColor& colour) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      ink.peakAlpha = std::max(ink.peakAlpha, pixel.alpha());
      if (pixel.alpha() == 0) continue;
      ++ink.painted;
      if (pixel.alpha() < 128) continue;
      const auto off = [](int a, int b) { return std::abs(a - b) > 8; };
      if (off(pixel.red(), colour.red()) || off(pixel.green(), colour.green()) || off(pixel.blue(), colour.blue())) {
        ++ink.offColour;
      }
    }
  }
  return ink;
}

TEST(SymbolIcons, EverySymbolDrawsInTheColourAskedForAndAnUnknownNameGivesANullIcon) {
  for (const char* symbol : {symbols::kSunMaxFill, symbols::kSunMax, symbols::kSunMinFill, symbols::kDisplay,
                             symbols::kInfoCircle, symbols::kArrowClockwise, symbols::kPower}) {
    const QString name = QString::fromLatin1(symbol);
    ASSERT_TRUE(hasSymbol(name)) << symbol;
    for (const QColor colour : {QColor(Qt::white), QColor(0x20, 0x20, 0x20), QColor(0x00, 0x6a, 0xd6)}) {
      // 48 has no mask: drawn from the SVG.
      const QImage image =
          symbolIcon(name, colour).pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32);
      const Ink ink = inkOf(image, colour);
      EXPECT_GT(ink.painted, 32) << "nothing drawn for " << symbol;
      EXPECT_EQ(ink.offColour, 0) << symbol << " has pixels in another colour";
    }
  }
  EXPECT_FALSE(hasSymbol(QStringLiteral("sun.max.fill.missing")));
  EXPECT_TRUE(symbolIcon(QStringLiteral("sun.max.fill.missing"), QColor(Qt::black)).isNull());
}

TEST(SymbolIcons, MasksDrawWhatTheSvgDraws) {
  for (const char* symbol : {symbols::kSunMaxFill, symbols::kSunMax, symbols::kSunMinFill, symbols::kDisplay,
                             symbols::kInfoCircle, symbols::kArrowClockwise, symbols::kPower}) {
    QFile file(QStringLiteral(":/lumaro/symbols/%1.svg").arg(QLatin1String(symbol)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << symbol;
    const QColor colour(0x00, 0x6a, 0xd6);
    QSvgRenderer renderer(tintedSymbol(file.readAll(), colour));
    for (const int side : {16, 22, 24, 32}) {
      const auto masked = maskedSymbol(QString::fromLatin1(symbol), side, colour, 1.0);
      ASSERT_TRUE(masked) << symbol << ' ' << side;
      QImage drawn(side, side, QImage::Format_ARGB32_Premultiplied);
      drawn.fill(Qt::transparent);
      {
        QPainter painter(&drawn);
        drawSymbol(painter, renderer, drawn.rect());
      }
      int worst = 0;
      for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
          const QRgb a = masked->pixel(x, y), b = drawn.pixel(x, y);
          worst = std::max({worst, std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b)),
                            std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
      }
      EXPECT_LE(worst, 2) << symbol << " at " << side << " pixels";
    }
  }
}

TEST(SymbolIcons, SecondaryAlphaAndDisabledModeDrawFainter) {
  const QString name = QString::fromLatin1(symbols::kSunMaxFill);
  const auto peak = [](const QPixmap& pixmap) { return inkOf(pixmap.toImage(), Qt::black).peakAlpha; };
  const QIcon solid = symbolIcon(name, QColor(Qt::black));
  QColor faint(Qt::black);
  faint.setAlphaF(0.5f);
  EXPECT_EQ(peak(solid.pixmap(QSize(24, 24))), 255);
  EXPECT_NEAR(peak(symbolIcon(name, faint).pixmap(QSize(24, 24))), 128, 2);
  EXPECT_LT(peak(solid.pixmap(QSize(24, 24), QIcon::Disabled)), 128);
}

TEST(SymbolIcons, EverySizeAndScaleIsDrawnAsAskedForWhenTheIconIsShared) {
  // Rows share one icon per symbol and colour, and drawn pixmaps are kept:
  // a second request at another size or scale must not get the first one.
  const QString name = QString::fromLatin1(symbols::kInfoCircle);
  const QIcon first = symbolIcon(name, QColor(Qt::black));
  const QIcon second = symbolIcon(name, QColor(Qt::black));
  EXPECT_EQ(first.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
  EXPECT_EQ(second.pixmap(QSize(32, 32), 1.0).size(), QSize(32, 32));
  const QPixmap doubled = second.pixmap(QSize(16, 16), 2.0);
  EXPECT_EQ(doubled.size(), QSize(32, 32));
  EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
  EXPECT_EQ(first.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
}

}  // namespace
}  // namespace lumaro::ui
