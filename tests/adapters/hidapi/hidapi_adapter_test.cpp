#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>

#include "adapters/hidapi/hidraw_errors.hpp"
#include "adapters/hidapi/hidraw_location.hpp"
#include "scratch_dir.hpp"

namespace lumaro {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

// The bus byte and one nibble per port, first hop highest.
TEST(LocationPacking, PacksBusAndPortsOrGivesUp) {
  const struct {
    std::int64_t bus;
    const char* ports;
    std::optional<std::int64_t> expected;
  } cases[] = {{3, "2", 0x03200000},      {20, "1.4", 0x14140000},  {1, "1.2.3.4.5.15", 0x0112345F},
               {2, "0", 0x02000000},      {255, "1", 0xFF100000},   {1, "1.1.1.1.1.1.1", std::nullopt},
               {1, "1.16", std::nullopt}, {1, "0.1", std::nullopt}, {0, "1", std::nullopt},
               {256, "1", std::nullopt},  {1, "", std::nullopt},    {1, "1.", std::nullopt},
               {1, "1.a", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(hid::packLocationID(c.bus, c.ports), c.expected) << c.bus << " " << c.ports;
}

// Where the hidraw entry leads nowhere USB, there is no location; the
// umockdev suite finds it through the real tree.
TEST(HidrawLocation, NodesWithoutAUsbAncestorHaveNone) {
  ScratchDir sysfs;
  const auto addHidraw = [&](const std::string& node, const fs::path& device) {
    fs::create_directories(device);
    fs::create_directories(sysfs.path() / "class" / "hidraw");
    fs::create_directory_symlink(device, sysfs.path() / "class" / "hidraw" / node);
  };
  addHidraw("hidraw0", sysfs.path() / "devices/virtual/misc/uhid/0003:05AC:9226.0007/hidraw/hidraw0");
  EXPECT_EQ(hid::usbLocationID(sysfs.path(), "/dev/hidraw0"), std::nullopt);
  EXPECT_EQ(hid::usbLocationID(sysfs.path(), "/dev/hidraw9"), std::nullopt) << "no such node";

  // A link that leads out of the tree is not followed upwards.
  ScratchDir outside;
  outside.write("busnum", "1\n");
  outside.write("devpath", "1\n");
  addHidraw("hidraw5", outside.path() / "hidraw5");
  EXPECT_EQ(hid::usbLocationID(sysfs.path(), "/dev/hidraw5"), std::nullopt);
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

}  // namespace
}  // namespace lumaro
