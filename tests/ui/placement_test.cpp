#include "ui/placement.hpp"

#include <gtest/gtest.h>

#include <ostream>

// Readable points in failure messages.
inline void PrintTo(const QPoint& point, std::ostream* out) { *out << '(' << point.x() << ", " << point.y() << ')'; }

namespace lumaro::ui::placement {
namespace {

// A 1920×1080 screen whose top 32 pixels are a panel.
const QRect kAvailable(0, 32, 1920, 1048);
const QSize kWindow(336, 200);

QRect cursorAt(int x, int y) { return {QPoint(x, y), QSize(1, 1)}; }

TEST(TrayWindowPosition, OpensBesideTheAnchorInsideTheAvailableArea) {
  const struct {
    const char* name;
    QRect anchor;
    QPoint expected;
  } cases[] = {
      // A top panel: below the cursor, centred on it.
      {"top panel, cursor", cursorAt(1000, 16), {1000 - 168, 32}},
      {"top panel, item geometry", QRect(990, 4, 24, 24), {1001 - 168, 32}},
      // A bottom panel: above the cursor.
      {"bottom panel, cursor", cursorAt(1000, 1070), {1000 - 168, 1070 - kGap - 200}},
      // At the right screen edge the window slides left to stay whole.
      {"right corner", cursorAt(1915, 16), {1920 - 336, 32}},
      // Mid-screen upper half: just below the cursor with the gap.
      {"upper half", cursorAt(500, 300), {500 - 168, 300 + 1 + kGap}},
      // Vertical panels inside the work area (no strut): beside the item.
      {"left panel item", QRect(4, 600, 24, 24), {28 + kGap, 611 - 100}},
      {"right panel item", QRect(1892, 600, 24, 24), {1892 - kGap - 336, 611 - 100}},
      // Panels that reserve their strip: the item lies outside the work area.
      {"left strut panel", QRect(-28, 600, 24, 24), {0, 611 - 100}},
      {"top right strut panel", QRect(1890, 4, 24, 24), {1920 - 336, 32}},
  };
  for (const auto& c : cases) {
    const QPoint at = trayWindowPosition(c.anchor, kWindow, kAvailable);
    EXPECT_EQ(at, c.expected) << c.name;
    EXPECT_TRUE(kAvailable.contains(QRect(at, kWindow))) << c.name;
    EXPECT_FALSE(QRect(at, kWindow).intersects(c.anchor)) << c.name << ": the window covers the icon";
  }
  EXPECT_EQ(trayWindowPosition(cursorAt(1000, 1070), QSize(336, 2000), kAvailable), QPoint(1000 - 168, 32))
      << "a window taller than the screen keeps its top visible";
}

TEST(PopoverPosition, StandsBesideTheWholeList) {
  const QSize popover(280, 300);
  EXPECT_EQ(popoverPosition(QRect(100, 40, 320, 150), popover, kAvailable), QPoint(420 + kGap, 40));
  EXPECT_EQ(popoverPosition(QRect(1580, 40, 320, 150), popover, kAvailable), QPoint(1580 - kGap - 280, 40))
      << "a list at the right edge";
  // A list low on the screen: the popover rises to stay whole.
  EXPECT_EQ(popoverPosition(QRect(100, 950, 320, 120), popover, kAvailable), QPoint(424, 1080 - 300));
  // Room on neither side: kept inside the screen, overlapping the list.
  EXPECT_EQ(popoverPosition(QRect(0, 40, 1800, 150), popover, kAvailable), QPoint(1920 - 280, 40));
}

}  // namespace
}  // namespace lumaro::ui::placement
