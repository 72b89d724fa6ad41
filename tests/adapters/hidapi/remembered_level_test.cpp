// A level the user set comes back on the real hidraw path: the manager over
// the hidapi adapter, levels in a real file, displays emulated by umockdev.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "adapters/hidapi/hidapi_hid_manager.hpp"
#include "adapters/posix/file_level_store.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "adapters/simulated/simulated_device_events.hpp"
#include "model/lumaro_manager.hpp"
#include "scratch_dir.hpp"
#include "umockdev_bed.hpp"

namespace lumaro {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RememberedOnHidraw : public ::testing::Test {
 protected:
  // One run of the tray: its own memory read from the file, its own manager.
  std::shared_ptr<LumaroManager> start() {
    auto memory = std::make_shared<LevelMemory>(
        std::make_unique<FileLevelStore>(dir.path() / "levels", sink), std::make_unique<ManualTimer>(),
        [] { return std::chrono::steady_clock::now(); }, true);
    ControllerPorts ports;
    ports.hidManager = std::make_unique<hid::HidapiHidManager>();
    ports.sink = sink;
    return LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(std::move(ports)), queues, sink, memory);
  }
  void refresh(LumaroManager& manager) {
    manager.refresh();
    queues->runAllMain();
  }

  testing::UmockdevBed bed;
  testing::ScratchDir dir;
  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
};

TEST_F(RememberedOnHidraw, SetUnpluggedPluggedAgainAndRestartedComesBackAtTheSetLevel) {
  auto manager = start();
  auto* display = &bed.add(testing::cinemaDisplay(0x9226, "2A1133WZ6JL", 0, 1, "2"));
  refresh(*manager);
  manager->setBrightness(manager->displays().at(0).id, 0.3f);
  EXPECT_EQ(display->receivedReports(), (std::vector<Bytes>{{0x10, 76}}));

  bed.remove(*display);
  refresh(*manager);
  display = &bed.add(testing::cinemaDisplay(0x9226, "2A1133WZ6JL", 0, 1, "2"));
  display->setBrightness(97);  // back at its own 38 %
  refresh(*manager);
  EXPECT_FLOAT_EQ(manager->displays().at(0).brightness, 0.3f);
  refresh(*manager);  // still there: nothing more to write
  EXPECT_EQ(display->receivedReports(), (std::vector<Bytes>{{0x10, 76}}));

  manager.reset();
  display->setBrightness(97);
  manager = start();
  refresh(*manager);
  EXPECT_EQ(display->receivedReports(), (std::vector<Bytes>{{0x10, 76}, {0x10, 76}}));
}

}  // namespace
}  // namespace lumaro
