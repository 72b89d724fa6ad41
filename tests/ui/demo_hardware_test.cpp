#include "demo/demo_hardware.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"
#include <sstream>

#include "cli/command_runner.hpp"
#include "cli/model_display_commands.hpp"
#include "model/display_follower.hpp"
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
// model follows each burst with one refresh, whether a window shows it or not.
TEST_F(DemoTest, PluggingInAndOutRefreshesTheModelOncePerBurstWithOrWithoutTheWindow) {
  ui::LumaroApp shell(manager, ui::LumaroApp::Presentation::Tray);
  auto owned = std::make_unique<ManualTimer>();
  ManualTimer& timer = *owned;
  DisplayFollower follower(manager, hardware.deviceEvents(), std::move(owned));
  const auto refreshes = [&] { return testing::countStartingWith(sink->lines(), "LumaroManager: Starting refresh"); };

  hardware.setAttached(1);
  EXPECT_TRUE(timer.fire());
  queues->runAll();
  EXPECT_EQ(refreshes(), 1) << "the tray alone follows the displays too";
  EXPECT_EQ(manager->displays().size(), 1u);

  shell.openWindow();
  queues->runAll();
  const int afterOpening = refreshes();
  const ui::ContentView* list = shell.window()->contentView();
  ASSERT_NE(list, nullptr);
  hardware.setAttached(0);
  hardware.setAttached(hardware.available());  // three events, one burst
  EXPECT_TRUE(timer.fire());
  queues->runAll();
  EXPECT_EQ(refreshes(), afterOpening + 1);
  EXPECT_EQ(list->rows().size(), 2u);
}

// One percentage everywhere: whatever a command sets, a later read of the
// display gives the same number to get and to the window.
TEST_F(DemoTest, EveryPercentageACommandSetsIsTheOneGetAndTheWindowShow) {
  ui::ContentView view(*manager);
  view.show();
  queues->runAll();
  cli::ModelDisplayCommands commands(manager, [this] { queues->runAll(); }, "lumaro-demo");
  const auto run = [&](std::vector<std::string_view> arguments) {
    std::ostringstream out;
    std::ostringstream err;
    cli::runCommand(std::get<cli::Command>(cli::parseCommandLine(arguments)), &commands, {"lumaro-demo", "", out, err});
    return out.str() + err.str();
  };
  for (int percent = 0; percent <= 100; ++percent) {
    const std::string shown = std::to_string(percent) + "%";
    EXPECT_EQ(run({"set", "1", shown}), shown + "\n");
    manager->refresh();  // the level read back from the display
    queues->runAll();
    EXPECT_EQ(run({"get", "1"}), shown + "\n");
    // After the All Displays row and its mean: the first display's name and percentage.
    EXPECT_EQ(testing::visibleTexts(view).at(3), QString::fromStdString(shown));
  }
}

}  // namespace
}  // namespace lumaro::demo
