#include "demo/demo_hardware.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "ui/content_view.hpp"
#include "ui/display_info_view.hpp"
#include "ui/display_row.hpp"
#include "ui/info_popover.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/lumaro_window.hpp"
#include "ui_rig.hpp"

namespace lumaro::demo {
namespace {

using ::testing::ElementsAre;

// The demo's own wiring: the simulated machine behind a real manager and list.
class DemoTest : public ::testing::Test {
 protected:
  DemoHardware hardware;
  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::shared_ptr<LumaroManager> manager =
      LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(hardware.ports(sink)), queues, sink);
};

TEST_F(DemoTest, ListsTwoDisplaysOfDifferentModelsEachWithItsOwnEdidDetails) {
  ui::ContentView view(*manager);
  view.show();
  queues->runAllMain();
  EXPECT_THAT(testing::visibleTexts(view),
              ElementsAre("All Displays", "58%", "LED Cinema Display", "78%", "Unknown Display", "37%"));
  std::vector<DisplayEDIDDetails> found;
  const std::vector<ui::DisplayRow*> rows = view.rows();  // storing details redraws the list
  for (ui::DisplayRow* row : rows) {
    view.openInfo(row->item());
    queues->runAll();
    const ui::DisplayInfoView& info = *view.popover()->content();
    ASSERT_EQ(info.content(), ui::DisplayInfoView::Content::Details) << row->item().name;
    found.push_back(*info.details());
  }
  // One through the online-display list, one by serial number from the dump.
  const auto lines = sink->lines();
  EXPECT_EQ(testing::countStartingWith(lines, "RarudoRuroravOduradadur: Successfully fetched EDID via CoreGraphics"),
            1);
  EXPECT_EQ(testing::countStartingWith(lines, "RarudoRuroravOduradadur: Found matching EDID by serial "), 1);
  EXPECT_NE(found[0].productID, found[1].productID);
  EXPECT_NE(found[0].serialNumber, found[1].serialNumber);
}

// The plug menu's path: the simulated bus raises device events, and the
// shell refreshes an open window once per burst, a hidden one not at all.
TEST_F(DemoTest, PluggingInAndOutUpdatesAnOpenWindowOncePerBurst) {
  ui::LumaroApp shell(manager, ui::LumaroApp::Presentation::Tray);
  auto owned = std::make_unique<ManualTimer>();
  ManualTimer& timer = *owned;
  shell.followDeviceEvents(hardware.deviceEvents(), std::move(owned));
  const auto refreshes = [&] { return testing::countStartingWith(sink->lines(), "LumaroManager: Starting refresh"); };

  hardware.setAttached(0);
  EXPECT_TRUE(timer.fire());
  EXPECT_EQ(refreshes(), 0) << "no window open: nothing to keep up to date";

  shell.openWindow();
  queues->runAll();
  const int afterOpening = refreshes();
  const ui::ContentView* list = shell.window()->contentView();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->rows().empty());

  hardware.setAttached(hardware.available());  // both displays: two events
  EXPECT_TRUE(timer.fire());
  queues->runAll();
  EXPECT_EQ(refreshes(), afterOpening + 1);
  EXPECT_EQ(list->rows().size(), 2u);
}

}  // namespace
}  // namespace lumaro::demo
