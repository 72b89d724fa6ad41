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

struct TrayCase {
  const char* name;
  QRect anchor;
  QPoint expected;
};

class TrayWindowPosition : public ::testing::TestWithParam<TrayCase> {};

TEST_P(TrayWindowPosition, OpensBesideTheAnchorInsideTheAvailableArea) {
  const QPoint at = trayWindowPosition(GetParam().anchor, kWindow, kAvailable);
  EXPECT_EQ(at, GetParam().expected);
  EXPECT_TRUE(kAvailable.contains(QRect(at, kWindow)));
  EXPECT_FALSE(QRect(at, kWindow).intersects(GetParam().anchor)) << "the window covers the icon";
}

INSTANTIATE_TEST_SUITE_P(Cases, TrayWindowPosition,
                         ::testing::Values(
                             // A top panel: below the cursor, centred on it.
                             TrayCase{"TopPanelCursor", cursorAt(1000, 16), {1000 - 168, 32}},
                             TrayCase{"TopPanelItemGeometry", QRect(990, 4, 24, 24), {1001 - 168, 32}},
                             // A bottom panel: above the cursor.
                             TrayCase{"BottomPanelCursor", cursorAt(1000, 1070), {1000 - 168, 1070 - kGap - 200}},
                             // At the right screen edge the window slides left to stay whole.
                             TrayCase{"RightCorner", cursorAt(1915, 16), {1920 - 336, 32}},
                             // Mid-screen upper half: just below the cursor with the gap.
                             TrayCase{"UpperHalf", cursorAt(500, 300), {500 - 168, 300 + 1 + kGap}},
                             // Vertical panels inside the work area (no strut): beside the item.
                             TrayCase{"LeftPanelItem", QRect(4, 600, 24, 24), {28 + kGap, 611 - 100}},
                             TrayCase{"RightPanelItem", QRect(1892, 600, 24, 24), {1892 - kGap - 336, 611 - 100}},
                             // Panels that reserve their strip: the item lies outside the work area.
                             TrayCase{"LeftStrutPanel", QRect(-28, 600, 24, 24), {0, 611 - 100}},
                             TrayCase{"TopRightStrutPanel", QRect(1890, 4, 24, 24), {1920 - 336, 32}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrayWindowPosition, WindowTallerThanTheScreenKeepsItsTopVisible) {
  EXPECT_EQ(trayWindowPosition(cursorAt(1000, 1070), QSize(336, 2000), kAvailable), QPoint(1000 - 168, 32));
}

struct PopoverCase {
  const char* name;
  QRect list;
  QSize popover;
  QPoint expected;
};

class PopoverPosition : public ::testing::TestWithParam<PopoverCase> {};

TEST_P(PopoverPosition, StandsBesideTheWholeList) {
  EXPECT_EQ(popoverPosition(GetParam().list, GetParam().popover, kAvailable), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PopoverPosition,
    ::testing::Values(PopoverCase{"RoomOnTheRight", QRect(100, 40, 320, 150), QSize(280, 300), {100 + 320 + kGap, 40}},
                      PopoverCase{
                          "ListAtTheRightEdge", QRect(1580, 40, 320, 150), QSize(280, 300), {1580 - kGap - 280, 40}},
                      // A list low on the screen: the popover rises to stay whole.
                      PopoverCase{"NearTheBottom", QRect(100, 950, 320, 120), QSize(280, 300), {424, 1080 - 300}},
                      // Room on neither side: kept inside the screen, overlapping the list.
                      PopoverCase{"NoRoomEitherSide", QRect(0, 40, 1800, 150), QSize(280, 300), {1920 - 280, 40}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumaro::ui::placement
