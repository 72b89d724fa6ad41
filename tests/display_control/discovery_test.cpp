#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <tuple>

#include "display_control/access_rule.hpp"
#include "simulated_rig.hpp"

namespace lumaro {
namespace {

using hid::Property;
using hid::SimulatedCinemaDisplay;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::shared_ptr<SimulatedCinemaDisplay> cinema(std::int64_t productID = 0x9226) {
  return SimulatedCinemaDisplay::make(productID, "Cinema HD Display", "SN-1");
}

std::vector<std::int64_t> productIDs(const std::vector<AppleDisplay>& displays) {
  std::vector<std::int64_t> ids;
  for (const auto& display : displays) ids.push_back(display.productID);
  return ids;
}

// The manager across passes: a failed open is reported and left alone, a pass
// without a device set closes it, a pass that finds displays leaves it open.
TEST(Discovery, ManagerIsClosedOnlyAfterAnOpenedPassFoundNothing) {
  SimulatedRig rig;
  rig.manager->failOpen(hid::kIOReturnNotPrivileged);
  EXPECT_THAT(rig.controller->detectDisplays(), IsEmpty());
  EXPECT_THAT(rig.sink->take(), ElementsAre(kDetectLine, "RarudoRuroravOduradadur: HID Manager open status: -536870207",
                                            "RarudoRuroravOduradadur: Failed to open HID manager"));
  EXPECT_EQ(rig.manager->closeCount(), 0) << "after the failed open";

  rig.manager->failOpen(hid::kIOReturnSuccess);
  EXPECT_THAT(rig.controller->detectDisplays(), IsEmpty());
  EXPECT_THAT(rig.sink->take(), ElementsAre(kDetectLine, kOpenedLine));
  EXPECT_EQ(rig.manager->closeCount(), 1) << "after a pass without devices";

  rig.manager->addDevice(cinema());
  rig.manager->withholdDeviceSet(true);
  EXPECT_THAT(rig.controller->detectDisplays(), IsEmpty());
  EXPECT_EQ(rig.manager->closeCount(), 2) << "after a pass whose device set was withheld";

  rig.manager->withholdDeviceSet(false);
  EXPECT_EQ(rig.controller->detectDisplays().size(), 1u);
  EXPECT_TRUE(rig.manager->isOpen());
  EXPECT_EQ(rig.manager->openCount(), 4);
  EXPECT_EQ(rig.manager->closeCount(), 2);

  const hid::DeviceMatching usbAnyVendor{.transport = "USB", .vendorID = std::nullopt};
  EXPECT_THAT(rig.manager->matchingHistory(), ElementsAre(usbAnyVendor, usbAnyVendor, usbAnyVendor, usbAnyVendor));
}

TEST(Discovery, ControllerWithoutPortsFailsQuietly) {
  RarudoRuroravOduradadur controller{ControllerPorts{}};
  EXPECT_THAT(controller.detectDisplays(), IsEmpty());
  EXPECT_EQ(controller.setBrightnessForAll(0.5f), 0);
}

// Only Apple devices of a supported model qualify; the rest, and devices whose
// identity cannot be read, are skipped without a word.
TEST(Discovery, AcceptsExactlyTheSupportedModels) {
  auto wrongVendor = cinema(0x9219);
  wrongVendor->setProperty("VendorID", Property{std::int64_t{1453}});
  auto vendorMissing = cinema(0x9219);
  vendorMissing->removeProperty("VendorID");
  auto vendorAsText = cinema(0x9218);
  vendorAsText->setProperty("VendorID", Property{std::string("1452")});
  auto productMissing = cinema();
  productMissing->removeProperty("ProductID");
  auto productAsText = cinema();
  productAsText->setProperty("ProductID", Property{std::string("37415")});
  auto productTooWide = cinema();
  productTooWide->setProperty("ProductID", Property{std::int64_t{0x9226} + (std::int64_t{1} << 32)});

  SimulatedRig rig({wrongVendor, vendorMissing, nullptr, vendorAsText, productMissing, productAsText, productTooWide});
  // 0x921C, 0x9222 and 0x9236 share report 0x10 with the others; 0x9221C
  // cannot be a USB product ID at all.
  for (std::int64_t id : {0x9219, 0x921D, 0x9218, 0x9221, 0x9226, 0x9227, 0x921C, 0x9222, 0x9236, 0x9217, 0x921A,
                          0x9220, 0x9228, 0x9221C, 0x0000}) {
    rig.manager->addDevice(cinema(id));
  }
  // Textual IDs are read as decimal, so those two odd devices qualify.
  EXPECT_THAT(productIDs(rig.controller->detectDisplays()),
              ElementsAre(0x9218, 0x9227, 0x9219, 0x921D, 0x9218, 0x9221, 0x9226, 0x9227, 0x921C, 0x9222, 0x9236));
  EXPECT_THAT(rig.sink->take(), ElementsAre(kDetectLine, kOpenedLine));
}

// The udev rule opens exactly the displays the code says it covers to the
// user, one product per line, never a whole vendor (that would take in
// keyboards); the line named for any other display is written like its lines.
TEST(Discovery, TheUdevRuleGrantsAccessToExactlyTheCoveredModels) {
  std::ifstream rule(std::string(LUMARO_FIXTURES_DIR) + "/../../packaging/udev/70-lumaro.rules");
  ASSERT_TRUE(rule);
  const std::regex match(R"re(ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})")re");
  std::set<std::pair<std::int64_t, std::int64_t>> granted;
  for (std::string line; std::getline(rule, line);) {
    if (line.empty() || line.starts_with("#")) continue;
    std::smatch ids;
    ASSERT_TRUE(std::regex_search(line, ids, match)) << line;
    const auto vendor = std::stoll(ids[1], nullptr, 16), product = std::stoll(ids[2], nullptr, 16);
    EXPECT_EQ(accessRuleLine(vendor, product), line);
    EXPECT_TRUE(accessRuleCovers(vendor, product)) << line;
    granted.emplace(vendor, product);
  }
  std::set<std::pair<std::int64_t, std::int64_t>> covered = {{0x05AC, 0x1114}, {0x05AC, 0x9243}, {0x043E, 0x9A70}};
  for (const std::int64_t id : RarudoRuroravOduradadur::supportedProductIDs()) covered.emplace(0x05AC, id);
  EXPECT_EQ(granted, covered);
  EXPECT_FALSE(accessRuleCovers(0x1D5C, 0x7010));
  EXPECT_FALSE(accessRuleCovers(0x043E, 0x1114)) << "a product ID under another vendor";
}

TEST(Discovery, FillsTheRecordFromTheDeviceProperties) {
  auto plain = SimulatedCinemaDisplay::make(
      {.productID = 0x9227, .name = "Cinema HD Display", .serialNumber = "CY8040ABC", .locationID = 0x14200000});
  auto odd = SimulatedCinemaDisplay::make({.productID = 0x921D});
  odd->setProperty("Product", Property{hid::OtherType{}});
  odd->setProperty("SerialNumber", Property{std::int64_t{1234}});
  odd->setProperty("LocationID", Property{std::int64_t{0x1'0000'0000}});  // does not fit 32 bits

  SimulatedRig rig({plain, odd});
  const auto displays = rig.controller->detectDisplays();
  ASSERT_EQ(displays.size(), 2u);
  const auto fields = [](const AppleDisplay& d) {
    return std::tuple(d.productID, d.name, d.serialNumber, d.locationID);
  };
  EXPECT_EQ(fields(displays[0]), std::tuple(0x9227, "Cinema HD Display", "CY8040ABC", 0x14200000));
  EXPECT_EQ(fields(displays[1]), std::tuple(0x921D, std::nullopt, std::nullopt, std::nullopt));
}

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

TEST(Discovery, ReadsOnlyWellFormedIntegerProperties) {
  SimulatedRig rig;
  auto device = SimulatedCinemaDisplay::make({});
  const auto read = [&](std::optional<Property> value) {
    if (value) {
      device->setProperty("Probe", *value);
    } else {
      device->removeProperty("Probe");
    }
    return rig.controller->readIntProperty(*device, "Probe");
  };
  const auto text = [&](const char* value) { return read(Property{std::string(value)}); };

  // Numbers: kept when they fit signed 32 bits.
  EXPECT_EQ(read(Property{kInt32Max}), kInt32Max);
  EXPECT_EQ(read(Property{kInt32Min}), kInt32Min);
  EXPECT_EQ(read(Property{kInt32Max + 1}), std::nullopt);
  EXPECT_EQ(read(Property{kInt32Min - 1}), std::nullopt);
  // Strings: optional sign, then ASCII digits only, within 64 bits.
  EXPECT_EQ(text("+7"), 7);
  EXPECT_EQ(text("-42"), -42);
  EXPECT_EQ(text("-007"), -7);
  EXPECT_EQ(text("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  for (const char* malformed : {"9223372036854775808", "-9223372036854775809", "0x10", " 5", "5\n", "-", "+-5", ""}) {
    EXPECT_EQ(text(malformed), std::nullopt) << '"' << malformed << '"';
  }
  // Neither number nor string, or no property at all.
  EXPECT_EQ(read(Property{hid::OtherType{}}), std::nullopt);
  EXPECT_EQ(read(std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace lumaro
