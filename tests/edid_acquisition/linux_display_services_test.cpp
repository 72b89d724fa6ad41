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

std::vector<std::uint8_t> edidFixture(const std::string& name) {
  std::ifstream in(std::string(LUMARO_FIXTURES_DIR) + "/edid/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<std::uint8_t> kCinema = edidFixture("apple-led-cinema-9226.bin");
const std::vector<std::uint8_t> kDell = edidFixture("dell-p2018h.bin");

class LinuxDisplayServicesTest : public ::testing::Test {
 protected:
  LinuxDisplayServicesTest() {
    tree.directory("card0");       // the card itself, not a connector
    tree.directory("renderD128");  // a render node
    tree.file("version");
    tree.connector("card0-DP-1", "connected", kCinema);
    // The stale EDID of an unplugged display.
    tree.connector("card0-DP-2", "disconnected", edidFixture("apple-cinema-hd-921c.bin"));
    tree.connector("card0-HDMI-A-1", "connected", {});  // connected but nothing readable
    tree.connector("card1-DP-3", "connected", kDell);
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
  EXPECT_EQ(services.serialNumber(1), 34161703u);
  EXPECT_EQ(services.vendorNumber(4), 0x10ACu);
  EXPECT_EQ(services.modelNumber(4), 0xD0C8u);
  EXPECT_EQ(services.modelNumber(2), 0u);  // disconnected: not online

  EXPECT_THAT(services.onlineDisplayList(1).ids, ElementsAre(1u));
}

TEST_F(LinuxDisplayServicesTest, ConnectorsAreTheDisplayConnectServices) {
  auto iterator = services.matchingServices("IODisplayConnect");
  ASSERT_NE(iterator, nullptr);
  std::vector<displays::InfoDictionary> infos;
  std::vector<std::optional<displays::RegistryValue>> edids;
  while (auto service = iterator->next()) {
    infos.push_back(service->createInfoDictionary().value_or(displays::InfoDictionary{}));
    edids.push_back(service->property("IODisplayEDID"));
  }
  using V = displays::RegistryValue;
  EXPECT_THAT(infos, ElementsAre(displays::InfoDictionary{{"DisplayVendorID", V{std::int64_t{0x0610}}},
                                                          {"DisplayProductID", V{std::int64_t{0x9226}}}},
                                 displays::InfoDictionary{{"DisplayVendorID", V{std::int64_t{0x10AC}}},
                                                          {"DisplayProductID", V{std::int64_t{0xD0C8}}}}));
  EXPECT_THAT(edids, ElementsAre(V{kCinema}, V{kDell}));

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

TEST_F(LinuxDisplayServicesTest, LookupReadsTheAttachedDisplaysEdidThroughSysfs) {
  EdidRig rig{std::make_shared<FixtureToolLauncher>(toolFixture("no-such-tool.sh")),
              std::make_shared<LinuxDisplayServices>(tree.root())};

  const auto cinema = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, std::nullopt);
  ASSERT_TRUE(cinema.has_value());
  EXPECT_EQ(cinema->manufacturer, "APP");
  EXPECT_EQ(cinema->productID, "0x9226");
  EXPECT_EQ(cinema->serialNumber, "34161703");
  EXPECT_THAT(rig.sink->take(),
              ElementsAre(prefixed("Fetching EDID for vendor 0x05AC product 0x9226"),
                          prefixed("Found 2 online display(s)"), prefixed("Display 0: vendor 0x0610 product 0x9226"),
                          prefixed("Got EDID data via display service (256 bytes)"),
                          prefixed("Successfully fetched EDID via CoreGraphics")));
}

}  // namespace
}  // namespace lumaro::testing
