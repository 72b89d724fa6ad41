// The tray application's instance in this process, on the real hidapi and
// libudev over umockdev's emulated displays and a private session bus, with
// `lumaro` commands as separate processes: what they see and where their
// writes land while displays come and go.

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <memory>

#include "adapters/posix/file_level_store.hpp"
#include "adapters/posix/stdout_line_sink.hpp"
#include "adapters/qt/qt_watched_device_events.hpp"
#include "adapters/udev/udev_display_monitor.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "common/tray_instance.hpp"
#include "cli/bus_names.hpp"
#include "model/brightness_percent.hpp"
#include "private_bus.hpp"
#include "real_hardware.hpp"
#include "scratch_dir.hpp"
#include "ui/lumaro_app.hpp"
#include "umockdev_bed.hpp"

namespace lumaro::app {
namespace {

using testing::EmulatedHidraw;

struct Finished {
  int status = -1;
  std::string out;
  std::string err;
};

class LiveInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::UmockdevBed::active()) << "run under umockdev-wrapper";
    ASSERT_FALSE(bus_.address().isEmpty()) << "dbus-daemon did not start";
  }

  // The instance as lumaro-tray wires it, its shell showing only the tray item.
  void startInstance() {
    const TrayApp tray{.program = "lumaro",
                       .applicationName = QStringLiteral("lumaro"),
                       .busName = QString::fromLatin1(dbus::kApplicationID),
                       .hardware = realHardware,
                       .deviceEvents = [] {
                         return std::make_shared<QtWatchedDeviceEvents>(std::make_unique<devices::UdevDisplayMonitor>(
                             [](std::int64_t vendor, std::int64_t) { return vendor == 0x05AC; }));
                       },
                       .started = nullptr};
    instance_ = std::make_unique<TrayInstance>(
        tray, std::make_shared<DiscardingLineSink>(), nullptr, nullptr,
        QDBusConnection::connectToBus(bus_.address(), QStringLiteral("instance")));
    ASSERT_EQ(instance_->claim("lumaro"), BusNameClaim::ours);
    shell_ = std::make_unique<ui::LumaroApp>(instance_->manager(), ui::LumaroApp::Presentation::Tray);
  }

  std::unique_ptr<QProcess> start(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_.address());
    env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString(state_.path().string()));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(LUMARO_PATH), arguments);
    return process;
  }
  // Runs this process's event loop meanwhile: it is the instance.
  Finished finish(QProcess& process) {
    QSignalSpy finished(&process, &QProcess::finished);
    if (process.state() != QProcess::NotRunning) finished.wait(10000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
  }
  Finished run(const QStringList& arguments) { return finish(*start(arguments)); }

  static std::vector<std::uint8_t> writes(const EmulatedHidraw& node) {
    std::vector<std::uint8_t> bytes;
    for (const auto& report : node.receivedReports()) bytes.push_back(report.at(1));
    return bytes;
  }

  testing::UmockdevBed bed_;
  testing::PrivateBus bus_;
  testing::ScratchDir state_;  // the commands' XDG_STATE_HOME
  std::unique_ptr<TrayInstance> instance_;
  std::unique_ptr<ui::LumaroApp> shell_;
};

std::size_t lines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(LiveInstance, WithOnlyTheTrayItemShowingCommandsSeeEveryPlugAndUnplug) {
  EmulatedHidraw& first = bed_.add(testing::cinemaDisplay(0x9226, "FIRST", 0, 1, "1"));
  // No instance yet: the command drives the display itself and keeps the level for the tray.
  EXPECT_EQ(run({"set", "FIRST", "40%"}).status, 0);
  EXPECT_EQ(FileLevelStore(state_.path() / "lumaro" / "levels", std::make_shared<DiscardingLineSink>()).load(),
            (RememberedLevels{{"FIRST", brightnessForPercent(40)}}));
  startInstance();
  EXPECT_EQ(lines(run({"list"}).out), 1u);

  EmulatedHidraw& second = bed_.add(testing::cinemaDisplay(0x9227, "SECOND", 1, 1, "2"));
  EXPECT_EQ(lines(run({"list"}).out), 2u) << "a display plugged in is listed at once";
  const Finished setAll = run({"set", "all", "70%"});
  EXPECT_EQ(setAll.status, 0) << setAll.err;
  EXPECT_EQ(writes(first), (std::vector<std::uint8_t>{102, 179}));
  EXPECT_EQ(writes(second), std::vector<std::uint8_t>{179});

  bed_.remove(first);
  const Finished list = run({"list"});
  EXPECT_EQ(lines(list.out), 1u) << list.out;
  EXPECT_NE(list.out.find("SECOND"), std::string::npos) << list.out;
  const Finished up = run({"set", "all", "+10%"});
  EXPECT_EQ(up.status, 0) << up.err;
  EXPECT_EQ(writes(second), (std::vector<std::uint8_t>{179, 204}));
  const Finished gone = run({"get", "2"});
  EXPECT_EQ(gone.status, 1);
  EXPECT_NE(gone.err.find("no display '2' (1 display attached"), std::string::npos) << gone.err;
}

// Displays plugged in ahead of the one a command names renumber the rows
// while the command runs; the write still lands on the display named.
TEST_F(LiveInstance, ADisplayNamedBySerialGetsEveryWriteWhileOthersArePluggedInAheadOfIt) {
  EmulatedHidraw& target = bed_.add(testing::cinemaDisplay(0x9226, "TARGET", 5, 1, "5"));
  startInstance();
  shell_->openWindow();  // an open window refreshes on every change too
  std::vector<std::uint8_t> expected;
  for (int round = 0; round < 24; ++round) {
    const int percent = 20 + round;
    expected.push_back(static_cast<std::uint8_t>(brightnessForPercent(percent) * 255.0f));
    auto command = start({"set", "TARGET", QStringLiteral("%1%").arg(percent)});
    EmulatedHidraw* other = nullptr;
    // Plugged before the call, during it or after it: a few milliseconds apart each round.
    QTimer::singleShot(round % 8 * 3, [&] {
      other = &bed_.add(testing::cinemaDisplay(0x9227, "OTHER", round % 2, 1, round % 2 == 0 ? "1" : "2"));
    });
    const Finished finished = finish(*command);
    EXPECT_EQ(finished.status, 0) << "round " << round << ": " << finished.err;
    QSignalSpy(command.get(), &QProcess::finished).wait(round % 8 * 3 + 20);  // let the plug happen
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->receivedReports().empty()) << "round " << round;
    bed_.remove(*other);
  }
  EXPECT_EQ(writes(target), expected);
}

}  // namespace
}  // namespace lumaro::app

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
