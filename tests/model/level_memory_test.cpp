// Levels the user chose, remembered and put back when a display returns.

#include "model/level_memory.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "adapters/simulated/simulated_device_events.hpp"
#include "adapters/simulated/simulated_level_store.hpp"
#include "manager_rig.hpp"

namespace lumaro::testing {
namespace {

using Report = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

class RememberedLevel : public ::testing::Test {
 protected:
  // A previous run left 0.3 for the LED Cinema Display.
  std::shared_ptr<SimulatedLevelStore::Shelf> shelf =
      std::make_shared<SimulatedLevelStore::Shelf>(SimulatedLevelStore::Shelf{{{"2A1133WZ6JL", 0.3f}}});
  std::chrono::steady_clock::time_point now{};
  ManualTimer* timer = nullptr;
  std::shared_ptr<LevelMemory> memory = makeMemory();
  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  ManagerRig rig{queues, {}, memory};

  std::shared_ptr<LevelMemory> makeMemory() {
    auto owned = std::make_unique<ManualTimer>();
    timer = owned.get();
    return std::make_shared<LevelMemory>(std::make_unique<SimulatedLevelStore>(shelf), std::move(owned),
                                         [this] { return now; }, true);
  }
  void refresh() {
    rig.manager->refresh();
    queues->runAllMain();
  }
  // The display plugged in again, showing its own level (97 is 38 %).
  std::shared_ptr<hid::SimulatedCinemaDisplay> replug() {
    rig.hid->setDevices({});
    refresh();
    return rig.plug(ledCinema(97));
  }
};

TEST_F(RememberedLevel, IsWrittenOnceEachTimeTheDisplayReturnsAndOnlyWhileRestoringIsOn) {
  auto display = rig.plug(ledCinema(97));
  refresh();  // the tray starting
  EXPECT_EQ(display->reportsWritten(), (std::vector<Report>{{0x10, 76}}));
  EXPECT_FLOAT_EQ(rig.manager->displays().at(0).brightness, 0.3f);
  EXPECT_EQ(rig.linesStartingWith("LumaroManager: Restoring remembered brightness 0.3 for LED Cinema Display"), 1);
  refresh();  // still there: nothing to put back, even at another level
  display->setBrightnessByte(200);
  refresh();
  EXPECT_EQ(display->reportsWritten().size(), 1u);

  rig.manager->setBrightness(rig.manager->displays().at(0).id, 0.6f);
  EXPECT_FLOAT_EQ(shelf->levels.at("2A1133WZ6JL"), 0.6f);
  display = replug();
  refresh();
  EXPECT_EQ(display->reportsWritten(), (std::vector<Report>{{0x10, 153}}));

  display->setBrightnessByte(20);  // the display woke at its own level
  memory->systemResumed();
  refresh();
  EXPECT_EQ(display->reportsWritten().size(), 2u);

  memory->setRestoreOnReturn(false);
  display = replug();
  refresh();
  EXPECT_TRUE(display->reportsWritten().empty());
}

TEST_F(RememberedLevel, ADragIsSavedAtMostOnceASecondAndAgainAtItsEnd) {
  rig.plug(ledCinema(97));
  refresh();
  const Uuid id = rig.manager->displays().at(0).id;
  for (int step = 1; step <= 10; ++step) {
    now += milliseconds(50);
    rig.manager->setBrightness(id, static_cast<float>(step) / 20.0f);
  }
  EXPECT_EQ(shelf->saves, 1);  // the first step
  EXPECT_EQ(timer->lastDelay(), milliseconds(950));  // a second after the first
  now += milliseconds(950);
  timer->fire();
  EXPECT_EQ(shelf->saves, 2);
  EXPECT_FLOAT_EQ(shelf->levels.at("2A1133WZ6JL"), 0.5f);

  // A step still waiting when the program ends is saved on the way out.
  rig.manager->setBrightness(id, 0.25f);
  rig.manager.reset();
  memory.reset();
  EXPECT_EQ(shelf->saves, 3);
  EXPECT_FLOAT_EQ(shelf->levels.at("2A1133WZ6JL"), 0.25f);
}

// A command acting on the displays directly (no tray on its bus) saves to the
// same file: neither process's save may undo the other's.
TEST_F(RememberedLevel, ALevelAnotherProcessSavedMeanwhileIsKeptAndAdopted) {
  rig.plug(ledCinema(97));
  refresh();
  const Uuid id = rig.manager->displays().at(0).id;
  shelf->levels["50201790"] = 0.6f;  // the other process's save
  rig.manager->setBrightness(id, 0.5f);
  EXPECT_EQ(shelf->levels, (RememberedLevels{{"2A1133WZ6JL", 0.5f}, {"50201790", 0.6f}}));

  shelf->levels = {{"2A1133WZ6JL", 0.9f}, {"50201790", 0.7f}};
  now += LevelMemory::kSaveInterval;
  rig.manager->setBrightness(id, 0.4f);
  EXPECT_EQ(shelf->levels, (RememberedLevels{{"2A1133WZ6JL", 0.4f}, {"50201790", 0.7f}}));

  // A store that cannot be read keeps everything this process knows.
  shelf->levels.clear();
  now += LevelMemory::kSaveInterval;
  rig.manager->setBrightness(id, 0.3f);
  EXPECT_EQ(shelf->levels, (RememberedLevels{{"2A1133WZ6JL", 0.3f}, {"50201790", 0.7f}}));
}

}  // namespace
}  // namespace lumaro::testing
