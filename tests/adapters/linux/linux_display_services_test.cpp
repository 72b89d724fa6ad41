#include "adapters/linux/linux_display_services.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "edid_rig.hpp"
#include "scratch_dir.hpp"

namespace lumaro::testing {
namespace {

namespace fs = std::filesystem;
using displays::LinuxDisplayServices;
using ::testing::ElementsAre;

const std::vector<std::uint8_t> kCinema = fixtureBytes("edid/apple-led-cinema-9226.bin");
const std::vector<std::uint8_t> kDell = fixtureBytes("edid/dell-p2018h.bin");

// A throw-away /sys/class/drm look-alike.
class LinuxDisplayServicesTest : public ::testing::Test {
 protected:
  LinuxDisplayServicesTest() {
    fs::create_directories(tree.path() / "card0");       // the card itself, not a connector
    fs::create_directories(tree.path() / "renderD128");  // a render node
    tree.write("version", "1.6.0 20151010\n");
    connector("card0-DP-1", "connected", kCinema);
    // The stale EDID of an unplugged display.
    connector("card0-DP-2", "disconnected", fixtureBytes("edid/apple-cinema-hd-921c.bin"));
    connector("card0-HDMI-A-1", "connected", {});  // connected but nothing readable
    connector("card1-DP-3", "connected", kDell);
  }

  void connector(const std::string& name, const std::string& status, const std::vector<std::uint8_t>& edid) {
    tree.write(fs::path(name) / "status", status + "\n");
    tree.write(fs::path(name) / "edid", std::string(edid.begin(), edid.end()));
  }

  ScratchDir tree;
  LinuxDisplayServices services{tree.path()};
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
              std::make_shared<LinuxDisplayServices>(tree.path())};

  // What the lookup makes of an EDID is its own suite's; here, that the EDID came from the connector.
  const auto cinema = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, std::nullopt);
  ASSERT_TRUE(cinema.has_value());
  EXPECT_EQ(cinema->serialNumber, "34161703");
}

}  // namespace
}  // namespace lumaro::testing
