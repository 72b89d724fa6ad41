#include "platform/linux/linux_display_services.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "edid_rig.hpp"

namespace lumaro::testing {
namespace {

namespace fs = std::filesystem;
using displays::DisplayID;
using displays::LinuxDisplayServices;
using ::testing::ElementsAre;

// A throw-away /sys/class/drm look-alike.
class SysfsTree {
 public:
  SysfsTree() : root_(fs::temp_directory_path() / ("lumaro-drm-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(root_);
  }
  ~SysfsTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  SysfsTree(const SysfsTree&) = delete;
  SysfsTree& operator=(const SysfsTree&) = delete;

  void connector(const std::string& name, const std::string& status, const std::vector<std::uint8_t>& edid) {
    fs::create_directories(root_ / name);
    write(root_ / name / "status", status + "\n");
    write(root_ / name / "edid", std::string(edid.begin(), edid.end()));
  }
  void file(const std::string& name) { write(root_ / name, "1.6.0 20151010\n"); }
  void directory(const std::string& name) { fs::create_directories(root_ / name); }
  const fs::path& root() const { return root_; }

 private:
  static void write(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }
  fs::path root_;
};

const std::vector<std::uint8_t> kCinema24 = makeEdid({.product = 0x9226, .serial = 0x01020304});
const std::vector<std::uint8_t> kCinema27 = makeEdid({.product = 0x9227, .serial = 0, .length = 128});

class LinuxDisplayServicesTest : public ::testing::Test {
 protected:
  LinuxDisplayServicesTest() {
    tree.directory("card0");       // the card itself, not a connector
    tree.directory("renderD128");  // a render node
    tree.file("version");
    tree.connector("card0-DP-1", "connected", kCinema24);
    tree.connector("card0-DP-2", "disconnected", kCinema27);  // stale EDID of an unplugged display
    tree.connector("card0-HDMI-A-1", "connected", {});        // connected but nothing readable
    tree.connector("card1-DP-3", "connected", kCinema27);
  }

  SysfsTree tree;
  LinuxDisplayServices services{tree.root()};
};

TEST_F(LinuxDisplayServicesTest, OnlineDisplaysAreConnectedConnectorsWithAnEdid) {
  const auto online = services.onlineDisplayList(16);
  EXPECT_EQ(online.result, 0);
  // IDs follow the sorted connector names, so they do not shift on hotplug.
  EXPECT_THAT(online.ids, ElementsAre(1u, 4u));
  EXPECT_EQ(services.vendorNumber(1), 0x0610u);
  EXPECT_EQ(services.modelNumber(1), 0x9226u);
  EXPECT_EQ(services.serialNumber(1), 0x01020304u);
  EXPECT_EQ(services.modelNumber(4), 0x9227u);
  EXPECT_EQ(services.serialNumber(4), 0u);
  EXPECT_EQ(services.vendorNumber(2), 0u);  // disconnected: not online

  EXPECT_THAT(services.onlineDisplayList(1).ids, ElementsAre(1u));
}

TEST_F(LinuxDisplayServicesTest, ConnectorsAreTheDisplayConnectServices) {
  auto iterator = services.matchingServices("IODisplayConnect");
  ASSERT_NE(iterator, nullptr);
  std::vector<std::vector<std::uint8_t>> edids;
  while (auto service = iterator->next()) {
    const auto info = service->createInfoDictionary();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->at("DisplayVendorID"), displays::RegistryValue{std::int64_t{0x0610}});
    const auto edid = service->property("IODisplayEDID");
    ASSERT_TRUE(edid.has_value());
    edids.push_back(std::get<std::vector<std::uint8_t>>(*edid));
    EXPECT_EQ(info->at("DisplayProductID"),
              displays::RegistryValue{std::int64_t{edids.back()[10] | edids.back()[11] << 8}});
  }
  EXPECT_THAT(edids, ElementsAre(kCinema24, kCinema27));

  for (const char* other : {"IODisplay", "IOFramebuffer"}) {
    auto empty = services.matchingServices(other);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->next(), nullptr);
  }
}

TEST(LinuxDisplayServicesMissingRoot, QueriesFail) {
  LinuxDisplayServices services{"/nonexistent/lumaro/drm"};
  EXPECT_EQ(services.onlineDisplayList(16).result, LinuxDisplayServices::kListFailed);
  EXPECT_EQ(services.matchingServices("IODisplayConnect"), nullptr);
}

TEST_F(LinuxDisplayServicesTest, LookupFindsEachDisplayThroughSysfs) {
  auto sysfs = std::make_shared<LinuxDisplayServices>(tree.root());
  EdidRig rig{std::make_shared<FixtureToolLauncher>(toolFixture("no-such-tool.sh")), sysfs};

  const auto cinema24 = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, std::nullopt);
  ASSERT_TRUE(cinema24.has_value());
  EXPECT_EQ(cinema24->productID, "0x9226");
  EXPECT_EQ(cinema24->serialNumber, "16909060");
  EXPECT_EQ(rig.sink->lines().back(), prefixed("Successfully fetched EDID via CoreGraphics"));

  const auto cinema27 = rig.controller->fetchEDIDDetails(0x05AC, 0x9227, std::nullopt);
  ASSERT_TRUE(cinema27.has_value());
  EXPECT_EQ(cinema27->productID, "0x9227");
  EXPECT_EQ(cinema27->serialNumber, "Unknown");
}

}  // namespace
}  // namespace lumaro::testing
