#include "ui/tray_icon_style.hpp"

#include <gtest/gtest.h>

#include <QPainter>

namespace lumaro::ui {
namespace {

// A 26×26 picture of an icon's place: `panel` around, `item` inside a margin of 2.
QImage placeOf(const QColor& panel, const QColor& item) {
  QImage image(26, 26, QImage::Format_RGB32);
  image.fill(panel);
  QPainter(&image).fillRect(QRect(2, 2, 22, 22), item);
  return image;
}

struct PanelCase {
  const char* name;
  QColor panel;
  QColor item;
  bool lightSymbol;
};

class TraySymbolColour : public ::testing::TestWithParam<PanelCase> {};

TEST_P(TraySymbolColour, ContrastsWithThePanelNotWithTheItem) {
  const std::optional<QColor> panel = panelColorAround(placeOf(GetParam().panel, GetParam().item), 2);
  ASSERT_TRUE(panel.has_value());
  EXPECT_EQ(panel->rgb(), GetParam().panel.rgb());
  const QColor symbol = symbolColorOn(*panel);
  EXPECT_EQ(symbol.lightness() > 128, GetParam().lightSymbol);
}

INSTANTIATE_TEST_SUITE_P(Panels, TraySymbolColour,
                         ::testing::Values(
                             // The item already drawn black on a black panel must not count.
                             PanelCase{"BlackPanel", QColor(0, 0, 0), QColor(0, 0, 0), true},
                             PanelCase{"LightPanelWithDarkItem", QColor(0xEF, 0xEF, 0xEF), QColor(0, 0, 0), false},
                             // Mid grey and saturated colours: whichever side contrasts more.
                             PanelCase{"SaturatedBluePanel", QColor(0x1E, 0x5A, 0xC8), QColor(0, 0, 0), true},
                             PanelCase{"YellowPanel", QColor(0xF0, 0xD0, 0x40), QColor(0xF2, 0xF2, 0xF2), false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumaro::ui
