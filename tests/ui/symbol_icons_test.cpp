#include "ui/symbol_icons.hpp"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

namespace lumaro::ui {
namespace {

// Counts the pixels of `image` that carry paint, and those among the solid
// ones that are not in the colour asked for (faint antialiased edges lose
// too much precision to compare).
struct Ink {
  int painted = 0;
  int offColour = 0;
};

Ink inkOf(const QImage& image, const QColor& colour) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (pixel.alpha() == 0) continue;
      ++ink.painted;
      if (pixel.alpha() < 128) continue;
      const QColor opaque = QColor::fromRgbF(pixel.redF(), pixel.greenF(), pixel.blueF());
      if (std::abs(opaque.red() - colour.red()) > 8 || std::abs(opaque.green() - colour.green()) > 8 ||
          std::abs(opaque.blue() - colour.blue()) > 8) {
        ++ink.offColour;
      }
    }
  }
  return ink;
}

class Symbol : public ::testing::TestWithParam<const char*> {};

TEST_P(Symbol, DrawsInTheColourAskedFor) {
  const QString name = QString::fromLatin1(GetParam());
  ASSERT_TRUE(hasSymbol(name));
  for (const QColor colour : {QColor(Qt::white), QColor(0x20, 0x20, 0x20), QColor(0x00, 0x6a, 0xd6)}) {
    const QImage image =
        symbolIcon(name, colour).pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    const Ink ink = inkOf(image, colour);
    EXPECT_GT(ink.painted, 32) << "nothing drawn for " << GetParam();
    EXPECT_EQ(ink.offColour, 0) << GetParam() << " has pixels in another colour";
  }
}

INSTANTIATE_TEST_SUITE_P(Names, Symbol,
                         ::testing::Values(symbols::kSunMaxFill, symbols::kSunMax, symbols::kSunMinFill,
                                           symbols::kDisplay, symbols::kInfoCircle, symbols::kArrowClockwise,
                                           symbols::kPower),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

TEST(SymbolIcons, SecondaryAlphaAndDisabledModeDrawFainter) {
  const QString name = QString::fromLatin1(symbols::kSunMaxFill);
  auto peak = [](const QImage& image) {
    int alpha = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) alpha = std::max(alpha, image.pixelColor(x, y).alpha());
    }
    return alpha;
  };
  const QIcon solid = symbolIcon(name, QColor(Qt::black));
  QColor faint(Qt::black);
  faint.setAlphaF(0.5f);
  EXPECT_EQ(peak(solid.pixmap(QSize(24, 24)).toImage()), 255);
  EXPECT_NEAR(peak(symbolIcon(name, faint).pixmap(QSize(24, 24)).toImage()), 128, 2);
  EXPECT_LT(peak(solid.pixmap(QSize(24, 24), QIcon::Disabled).toImage()), 128);
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

TEST(SymbolIcons, UnknownNameGivesANullIcon) {
  EXPECT_FALSE(hasSymbol(QStringLiteral("sun.max.fill.missing")));
  EXPECT_TRUE(symbolIcon(QStringLiteral("sun.max.fill.missing"), QColor(Qt::black)).isNull());
}

}  // namespace
}  // namespace lumaro::ui
