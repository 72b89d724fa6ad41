// The tray waking with the system: logind's PrepareForSleep(false), from the
// mock on a private system bus (with_mock_logind.sh), through the tray's level
// restoring to the display.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <cstdlib>
#include <fstream>

#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "common/tray_level_restoring.hpp"
#include "manager_rig.hpp"
#include "scratch_dir.hpp"

namespace lumaro::app {
namespace {

TEST(TrayResume, ADisplayWakingAtALevelOfItsOwnGetsTheRememberedOneWrittenOnce) {
  const char* logind = std::getenv("LUMARO_MOCK_LOGIND_DIR");
  if (logind == nullptr) GTEST_SKIP() << "needs the mock logind (run through ctest)";
  const testing::ScratchDir home;
  ::setenv("XDG_STATE_HOME", (home.path() / "state").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
  TrayLevelRestoring restoring(std::make_shared<DiscardingLineSink>());
  const auto queues = std::make_shared<ManualDispatchQueues>();
  testing::ManagerRig rig(queues, {}, restoring.memory());
  const auto display = rig.plug(testing::ledCinema(200));
  rig.manager->refresh();
  queues->runAll();
  rig.manager->setBrightness(rig.manager->displays().at(0).id, 0.3f);
  restoring.follow(rig.manager);
  queues->runAll();  // there all along: nothing to put back

  display->setBrightnessByte(97);
  std::ofstream(std::filesystem::path(logind) / "resume").flush();
  const auto pump = [&] {
    QCoreApplication::processEvents();
    queues->runAll();
    QThread::msleep(10);
  };
  const auto written = [&] {
    std::vector<std::uint8_t> bytes;
    for (const auto& report : display->reportsWritten()) bytes.push_back(report.at(1));
    return bytes;
  };
  for (int turn = 0; turn < 500 && written().size() < 2; ++turn) pump();
  for (int turn = 0; turn < 20; ++turn) pump();  // room for a second write that must not come
  EXPECT_EQ(written(), (std::vector<std::uint8_t>{76, 76}));
}

}  // namespace
}  // namespace lumaro::app

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
