// Displays on the kernel's backlight driver, through the real controller: a
// sysfs tree laid out as the kernel lays it out, and logind's session object
// served by mock_logind.py on a private bus (with_mock_logind.sh).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "adapters/backlight/backlight_hid_manager.hpp"
#include "adapters/composite/composite_hid_manager.hpp"
#include "adapters/logind/logind_session_brightness.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/simulated_hid.hpp"
#include "scratch_dir.hpp"

namespace lumaro {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kNotPrivileged = "Failed to set report: -536870207";
constexpr const char* kSet = "Successfully set brightness to 127";

std::string contents(const fs::path& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), {}};
}

class BacklightDisplay : public ::testing::Test {
 protected:
  // A USB display at bus 1, port `port`, whose interface the display driver
  // holds, and the driver's parentless backlight `appledisplay<number>`.
  void addDisplay(int port, int number, const std::string& serial, int devnum) {
    const fs::path usb = fs::path("devices/pci0000:00/0000:00:14.0/usb1") / ("1-" + std::to_string(port));
    attributes(usb, {{"idVendor", "05ac"},
                     {"idProduct", "9226"},
                     {"serial", serial},
                     {"product", "LED Cinema Display"},
                     {"busnum", "1"},
                     {"devnum", std::to_string(devnum)},
                     {"devpath", std::to_string(port)}});
    const fs::path interface = usb / ("1-" + std::to_string(port) + ":1.0");
    fs::create_directories(sysfs.path() / interface);
    link(interface, "bus/usb/drivers/appledisplay/" + interface.filename().string());
    // "brightness" holds the last request, not what the display shows.
    const fs::path backlight = fs::path("devices/virtual/backlight") / ("appledisplay" + std::to_string(number));
    attributes(backlight, {{"max_brightness", "1000"}, {"actual_brightness", "784"}, {"brightness", "10"}});
    link(backlight, "class/backlight" / backlight.filename());
  }

  void attributes(const fs::path& dir, std::initializer_list<std::pair<const char*, std::string>> values) {
    for (const auto& [name, value] : values) sysfs.write(dir / name, value + "\n");
  }

  void link(const fs::path& target, const fs::path& at) {
    fs::create_directories((sysfs.path() / at).parent_path());
    fs::create_directory_symlink(fs::relative(sysfs.path() / target, (sysfs.path() / at).parent_path()),
                                 sysfs.path() / at);
  }

  fs::path backlight(int number) const {
    return sysfs.path() / "devices/virtual/backlight" / ("appledisplay" + std::to_string(number));
  }

  RarudoRuroravOduradadur& controller(std::shared_ptr<SessionBrightness> session,
                                      std::unique_ptr<hid::Manager> before = nullptr) {
    std::vector<std::unique_ptr<hid::Manager>> managers;
    managers.push_back(std::move(before));
    managers.push_back(std::make_unique<hid::BacklightHidManager>(sysfs.path(), std::move(session)));
    ControllerPorts ports;
    ports.hidManager = std::make_unique<hid::CompositeHidManager>(std::move(managers));
    ports.sink = sink;
    controller_ = std::make_unique<RarudoRuroravOduradadur>(std::move(ports));
    return *controller_;
  }

  testing::ScratchDir sysfs;
  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::unique_ptr<RarudoRuroravOduradadur> controller_;
};

// The driver registers its backlights without a parent, so they are paired
// with the USB devices it is bound to, in the order both were made.
TEST_F(BacklightDisplay, ListedWithItsUsbIdentityReadFromActualBrightnessAndGone) {
  // Plugged second on a lower port: the driver numbered it 1, the USB core 7.
  addDisplay(1, 1, "SECOND", 7);
  addDisplay(3, 0, "2A1133WZ6JL", 4);
  auto& control = controller(nullptr);
  const auto displays = control.detectDisplays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(displays[0].productID, 0x9226);
  EXPECT_EQ(displays[0].serialNumber, "2A1133WZ6JL");
  EXPECT_EQ(displays[0].name, "LED Cinema Display");
  EXPECT_EQ(displays[0].locationID, 0x01300000);
  EXPECT_EQ(displays[1].serialNumber, "SECOND");
  EXPECT_EQ(control.getBrightness(displays[0]), 200.0f / 255.0f) << "784 of 1000 steps";

  fs::remove_all(backlight(0));
  fs::remove(sysfs.path() / "class/backlight/appledisplay0");
  sink->take();
  EXPECT_FALSE(control.setBrightness(displays[0], 0.5f));
  EXPECT_THAT(sink->take(), ElementsAre("Failed to open device for writing: -536870208")) << "gone: no device";
  // One backlight left for two bound devices: none is guessed at.
  EXPECT_THAT(control.detectDisplays(), IsEmpty());
}

// The hidraw path comes first: no backlight at all (the usual machine) takes
// nothing away, the backlight of the same display adds nothing, another
// display's does.
TEST_F(BacklightDisplay, HidrawDisplaysComeFirstAndOtherDisplaysBacklightsJoinThem) {
  auto hidraw = hid::SimulatedCinemaDisplay::make({.serialNumber = "2A1133WZ6JL", .locationID = 0x01200000});
  auto& control = controller(
      nullptr, std::make_unique<hid::SimulatedHidManager>(std::vector<std::shared_ptr<hid::Device>>{hidraw}));
  EXPECT_EQ(control.detectDisplays().size(), 1u) << "without any backlight";
  addDisplay(2, 0, "2A1133WZ6JL", 5);
  addDisplay(3, 1, "OTHER", 6);
  const auto displays = control.detectDisplays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(displays[0].device, hidraw);
  EXPECT_EQ(displays[1].serialNumber, "OTHER");
}

// How a slider change reaches the display, depending on what logind says and
// on what the sysfs file does with a write.
struct WriteCase {
  const char* name;
  bool logindRefuses;
  const char* fileIs;                    // what "brightness" links to; null for a plain file
  std::vector<std::string> logindCalls;  // as the mock records them
  std::string fileAfter;
  std::string lastLine;
  bool noSystemBus = false;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class BacklightWrite : public BacklightDisplay, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(BacklightWrite, GoesThroughLogindThenTheFileElseIsNotPrivileged) {
  const WriteCase& c = GetParam();
  // The mock's state folder, set by with_mock_logind.sh.
  const char* logind = std::getenv("LUMARO_MOCK_LOGIND_DIR");
  if (logind == nullptr) GTEST_SKIP() << "needs the mock logind (run through ctest)";
  if (c.logindRefuses) std::ofstream(fs::path(logind) / "refuse").flush();

  addDisplay(2, 0, "2A1133WZ6JL", 5);
  if (c.fileIs != nullptr) {
    // Root writes through file modes, so the file is swapped for a kernel
    // file that refuses any writer: at open, or when the write is flushed at
    // close, as sysfs rejects a value.
    fs::remove(backlight(0) / "brightness");
    fs::create_symlink(c.fileIs, backlight(0) / "brightness");
  }
  const std::string systemBus = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
  if (c.noSystemBus) ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
  auto& control = controller(std::make_shared<LogindSessionBrightness>());
  const auto displays = control.detectDisplays();
  ASSERT_EQ(displays.size(), 1u);
  sink->take();

  EXPECT_EQ(control.setBrightness(displays[0], 0.5f), c.lastLine == kSet);
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", systemBus.c_str(), 1);
  const auto lines = sink->take();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), c.lastLine);
  std::vector<std::string> calls;
  std::ifstream recorded(fs::path(logind) / "calls");
  for (std::string line; std::getline(recorded, line);) calls.push_back(line);
  EXPECT_EQ(calls, c.logindCalls);
  if (c.fileIs == nullptr) {
    EXPECT_EQ(contents(backlight(0) / "brightness"), c.fileAfter);
  }
}

// 0.5 is byte 127, and 498 of 1000 backlight steps.
INSTANTIATE_TEST_SUITE_P(
    Cases, BacklightWrite,
    ::testing::Values(WriteCase{"LogindSetsIt", false, nullptr, {"backlight appledisplay0 498"}, "10\n", kSet},
                      WriteCase{"RefusedThenTheFile", true, nullptr, {}, "498\n", kSet},
                      WriteCase{"NoSystemBusThenTheFile", false, nullptr, {}, "498\n", kSet, true},
                      WriteCase{"RefusedAndReadOnly", true, "/sys/kernel/uevent_seqnum", {}, "", kNotPrivileged},
                      WriteCase{"RefusedAndRejectedAtClose", true, "/dev/full", {}, "", "Failed to set report: -536870212"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumaro
