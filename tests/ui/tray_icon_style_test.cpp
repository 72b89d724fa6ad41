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

TEST(TraySymbolColour, ContrastsWithThePanelNotWithTheItem) {
  const struct {
    const char* name;
    QColor panel;
    QColor item;
    bool lightSymbol;
  } cases[] = {
      // The item already drawn black on a black panel must not count.
      {"black panel", QColor(0, 0, 0), QColor(0, 0, 0), true},
      {"light panel, dark item", QColor(0xEF, 0xEF, 0xEF), QColor(0, 0, 0), false},
      // Mid grey and saturated colours: whichever side contrasts more.
      {"saturated blue panel", QColor(0x1E, 0x5A, 0xC8), QColor(0, 0, 0), true},
      {"yellow panel", QColor(0xF0, 0xD0, 0x40), QColor(0xF2, 0xF2, 0xF2), false},
      // Green weighs most: a dark red is still dark.
      {"dark red panel", QColor(0xA0, 0, 0), QColor(0, 0, 0), true},
  };
  for (const auto& c : cases) {
    const std::optional<QColor> panel = panelColorAround(placeOf(c.panel, c.item), 2);
    ASSERT_TRUE(panel.has_value()) << c.name;
    EXPECT_EQ(panel->rgb(), c.panel.rgb()) << c.name;
    EXPECT_EQ(symbolColorOn(*panel).lightness() > 128, c.lightSymbol) << c.name;
  }
}

}  // namespace
}  // namespace lumaro::ui
