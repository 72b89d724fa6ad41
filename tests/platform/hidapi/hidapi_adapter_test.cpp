#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "platform/hidapi/hidapi_hid_manager.hpp"
#include "platform/hidapi/hidraw_errors.hpp"
#include "platform/hidapi/hidraw_location.hpp"
#include "platform/simulated/line_sinks.hpp"
#include "scratch_dir.hpp"

namespace lumaro {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ScratchDir;

TEST(HidapiAdapter, DiscoveryOnAMachineWithoutADisplayFindsNothing) {
  auto manager = std::make_unique<hid::HidapiHidManager>();
  if (!manager->initialised()) GTEST_SKIP() << "hidapi could not be initialised on this machine";

  auto sink = std::make_shared<VectorLineSink>();
  ControllerPorts ports;
  ports.hidManager = std::move(manager);
  ports.sink = sink;
  RarudoRuroravOduradadur controller(std::move(ports));

  EXPECT_THAT(controller.detectDisplays(), IsEmpty());
  EXPECT_THAT(sink->take(), ElementsAre("RarudoRuroravOduradadur: detectDisplays called",
                                        "RarudoRuroravOduradadur: HID Manager open status: 0"));
}

// The bus byte and one nibble per port, first hop highest.
struct PackingCase {
  const char* name;
  std::int64_t bus;
  const char* ports;
  std::optional<std::int64_t> expected;
};
void PrintTo(const PackingCase& c, std::ostream* os) { *os << c.name; }

class LocationPacking : public ::testing::TestWithParam<PackingCase> {};

TEST_P(LocationPacking, PacksBusAndPortsOrGivesUp) {
  const PackingCase& c = GetParam();
  EXPECT_EQ(hid::packLocationID(c.bus, c.ports), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocationPacking,
    ::testing::Values(PackingCase{"RootPort", 3, "2", 0x03200000}, PackingCase{"BehindAHub", 20, "1.4", 0x14140000},
                      PackingCase{"SixLevels", 1, "1.2.3.4.5.15", 0x0112345F},
                      PackingCase{"RootHub", 2, "0", 0x02000000}, PackingCase{"HighestBus", 255, "1", 0xFF100000},
                      PackingCase{"SevenLevels", 1, "1.1.1.1.1.1.1", std::nullopt},
                      PackingCase{"PortAboveFifteen", 1, "1.16", std::nullopt},
                      PackingCase{"PortZero", 1, "0.1", std::nullopt}, PackingCase{"BusZero", 0, "1", std::nullopt},
                      PackingCase{"BusAboveByte", 256, "1", std::nullopt},
                      PackingCase{"EmptyPorts", 1, "", std::nullopt}, PackingCase{"TrailingDot", 1, "1.", std::nullopt},
                      PackingCase{"NotANumber", 1, "1.a", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// A sysfs tree shaped like the kernel's: the class entry links into the device
// tree below the HID interface; only USB device directories carry busnum/devpath.
class SysfsTree : public ::testing::Test {
 protected:
  fs::path addHidraw(const std::string& node, const fs::path& parent) {
    const fs::path device = parent / "0003:05AC:9226.0007" / "hidraw" / node;
    fs::create_directories(device);
    fs::create_directories(scratch_.path() / "class" / "hidraw");
    fs::create_directory_symlink(fs::relative(device, scratch_.path() / "class" / "hidraw"),
                                 scratch_.path() / "class" / "hidraw" / node);
    return device;
  }

  fs::path usbDevice(const std::string& relative, const std::string& busnum, const std::string& devpath) {
    const fs::path dir = fs::path("devices") / "pci0000:00" / relative;
    scratch_.write(dir / "busnum", busnum + "\n");
    scratch_.write(dir / "devpath", devpath + "\n");
    return scratch_.path() / dir;
  }

  ScratchDir scratch_;
};

TEST_F(SysfsTree, LocationComesFromTheNearestUsbDeviceAboveTheNode) {
  usbDevice("usb3", "3", "0");
  usbDevice("usb3/3-1", "3", "1");
  const fs::path display = usbDevice("usb3/3-1/3-1.4", "3", "1.4");
  addHidraw("hidraw2", display / "3-1.4:1.0");

  EXPECT_EQ(hid::usbLocationID(scratch_.path(), "/dev/hidraw2"), 0x03140000);
  EXPECT_EQ(hid::usbLocationID(scratch_.path(), "/dev/hidraw9"), std::nullopt);  // no such node
  EXPECT_EQ(hid::usbLocationID(scratch_.path(), "/dev/sda"), std::nullopt);
}

TEST_F(SysfsTree, NodesWithoutAUsbAncestorHaveNoLocation) {
  addHidraw("hidraw0", scratch_.path() / "devices" / "virtual" / "misc" / "uhid");
  EXPECT_EQ(hid::usbLocationID(scratch_.path(), "/dev/hidraw0"), std::nullopt);

  // A link that leads out of the tree is not followed upwards.
  ScratchDir outside;
  outside.write("busnum", "1\n");
  outside.write("devpath", "1\n");
  fs::create_directories(outside.path() / "hidraw5");
  fs::create_directory_symlink(outside.path() / "hidraw5", scratch_.path() / "class" / "hidraw" / "hidraw5");
  EXPECT_EQ(hid::usbLocationID(scratch_.path(), "/dev/hidraw5"), std::nullopt);
}

TEST(HidrawErrors, TheNodeOutranksAMisleadingErrno) {
  ScratchDir scratch;
  const fs::path present = scratch.path() / "hidraw0";
  scratch.write("hidraw0", "");
  const fs::path missing = scratch.path() / "hidraw1";

  EXPECT_EQ(hid::openFailureCode(missing, EACCES), hid::kIOReturnNoDevice);
  EXPECT_EQ(hid::openFailureCode(missing, 0), hid::kIOReturnNoDevice);
  EXPECT_EQ(hid::openFailureCode(present, ENODEV), hid::kIOReturnNoDevice);
  EXPECT_EQ(hid::openFailureCode(present, EPERM), hid::kIOReturnNotPrivileged);
  EXPECT_EQ(hid::openFailureCode(present, EACCES), hid::kIOReturnNotPrivileged);
  EXPECT_EQ(hid::openFailureCode(present, EBUSY), hid::kIOReturnError);
  EXPECT_EQ(hid::openFailureCode(present, 0), hid::kIOReturnError);

  EXPECT_EQ(hid::reportFailureCode(missing, EIO), hid::kIOReturnNoDevice);  // unplugged mid-transfer
  EXPECT_EQ(hid::reportFailureCode(present, EPIPE), hid::kIOReturnError);
  EXPECT_EQ(hid::reportFailureCode(present, ENODEV), hid::kIOReturnNoDevice);
}

TEST(HidrawErrors, AnUnreadableNodeMeansNoPrivilege) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, which may open any node";
  ScratchDir scratch;
  const fs::path locked = scratch.path() / "hidraw0";
  scratch.write("hidraw0", "");
  fs::permissions(locked, fs::perms::none);
  EXPECT_EQ(hid::openFailureCode(locked, 0), hid::kIOReturnNotPrivileged);
}

}  // namespace
}  // namespace lumaro
