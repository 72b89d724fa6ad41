#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "display_control/display_description.hpp"
#include "fixtures.hpp"

namespace lumaro {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What a descriptor offers a display: the brightness control, the EDID report, or why it was refused.
struct DescriptorCase {
  const char* name;
  Bytes descriptor;
  std::optional<BrightnessControl> brightness;
  std::optional<EDIDReport> edid = std::nullopt;
  std::optional<std::string> refusal = std::nullopt;
};
void PrintTo(const DescriptorCase& c, std::ostream* os) { *os << c.name; }

Bytes fixture(const char* name) { return testing::fixtureBytes(std::string("hid/") + name); }

// A Monitor Control collection around `items`.
Bytes monitor(Bytes items) {
  Bytes out{0x05, 0x80, 0x09, 0x01, 0xA1, 0x01};
  for (const std::uint8_t byte : items) out.push_back(byte);
  out.push_back(0xC0);
  return out;
}

class Descriptor : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(Descriptor, OffersTheControlsItDescribes) {
  const DescriptorCase& c = GetParam();
  const DisplayDescription description = describeDisplay(c.descriptor);
  EXPECT_EQ(description.brightness, c.brightness);
  EXPECT_EQ(description.edid, c.edid);
  EXPECT_EQ(description.refusal, c.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Descriptor,
    ::testing::Values(
        // 32 bits in report 1 before two vendor bytes; EDID as report 2; a second collection.
        DescriptorCase{"StudioDisplay", fixture("studio-display-1114.bin"), BrightnessControl{1, 0, 32, 400, 60000, 7},
                       EDIDReport{2, 257}},
        // A vendor byte inside push and pop, an extended usage, a maximum that reads negative.
        DescriptorCase{"ProDisplayXDR", fixture("pro-display-xdr-9243.bin"),
                       BrightnessControl{1, 8, 16, 400, 50000, 4}},
        // A long item first, no report IDs, brightness the first of a usage range.
        DescriptorCase{"UltraFine", fixture("ultrafine-5k-9a70.bin"), BrightnessControl{0, 0, 16, 0, 65535, 7}},
        DescriptorCase{"CinemaDisplay", fixture("cinema-display.bin"), BrightnessControl{0x10, 0, 8, 0, 255, 2}},
        DescriptorCase{"Keyboard", fixture("usb-keyboard.bin"), std::nullopt},
        DescriptorCase{"BrightnessOutsideMonitorControl",
                       {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x05, 0x82, 0x09, 0x10,
                        0x15, 0x00, 0x25, 0x64, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xC0},
                       std::nullopt},
        DescriptorCase{"SignedRange",
                       monitor({0x05, 0x82, 0x09, 0x10, 0x15, 0x9C, 0x25, 0x64, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}),
                       BrightnessControl{0, 0, 8, -100, 100, 2}},
        DescriptorCase{
            "RangeWiderThanTheField",
            monitor({0x05, 0x82, 0x09, 0x10, 0x15, 0x00, 0x26, 0xE8, 0x03, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}),
            std::nullopt},
        DescriptorCase{"ItemCutOff", {0x05, 0x80, 0x09}, std::nullopt, std::nullopt, "item cut off at byte 2"},
        DescriptorCase{
            "LongItemCutOff", {0xFE, 0x04, 0xF0, 0x00}, std::nullopt, std::nullopt, "item cut off at byte 0"},
        DescriptorCase{"CollectionNeverEnds",
                       {0x05, 0x80, 0x09, 0x01, 0xA1, 0x01},
                       std::nullopt,
                       std::nullopt,
                       "collections do not close"},
        DescriptorCase{
            "EndWithoutCollection", {0xC0}, std::nullopt, std::nullopt, "end of a collection never opened at byte 0"},
        DescriptorCase{"PopWithoutPush", monitor({0xB4}), std::nullopt, std::nullopt, "pop without push at byte 6"},
        DescriptorCase{"FieldBeyondReason", monitor({0x76, 0x2C, 0x01}), std::nullopt, std::nullopt,
                       "report size 300 at byte 6"},
        DescriptorCase{"ReportIDZero", monitor({0x85, 0x00}), std::nullopt, std::nullopt, "report ID 0 at byte 6"},
        DescriptorCase{"ReportBeyondReason", monitor({0x09, 0x02, 0x75, 0x40, 0x96, 0x00, 0x02, 0xB1, 0x02}),
                       std::nullopt, std::nullopt, "feature report 0 too long at byte 13"}),
    [](const auto& info) { return std::string(info.param.name); });

// A 12-bit signed field that starts mid-byte: written and read alone.
TEST(BrightnessControlField, StartsMidByteAndLeavesItsNeighbours) {
  const BrightnessControl control{
      .reportID = 3, .bitOffset = 4, .bitSize = 12, .minimum = -2048, .maximum = 2047, .reportLength = 4};
  Bytes report{3, 0xFF, 0xFF, 0xFF};
  control.store(report, -2);
  EXPECT_EQ(report, (Bytes{3, 0xEF, 0xFF, 0xFF}));
  EXPECT_EQ(control.valueIn(report), -2);
  control.store(report, 2047);
  EXPECT_EQ(report, (Bytes{3, 0xFF, 0x7F, 0xFF}));
  EXPECT_EQ(control.valueIn(report), 2047);
  EXPECT_EQ(control.valueIn(Bytes{3, 0xFF}), std::nullopt) << "a report too short for the field";
}

TEST(BrightnessControlField, ScalesToTheNearestDeviceValueWithinItsRange) {
  const BrightnessControl control{
      .reportID = 1, .bitOffset = 0, .bitSize = 32, .minimum = 400, .maximum = 60000, .reportLength = 7};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const auto& [level, value] : std::vector<std::pair<float, std::int64_t>>{
           {0.0f, 400}, {-1.0f, 400}, {nan, 400}, {1.0f, 60000}, {2.0f, 60000}, {0.5f, 30200}, {0.6f / 59600, 401}}) {
    EXPECT_EQ(control.deviceValue(level), value) << level;
  }
  EXPECT_EQ(control.fraction(30200), 0.5f);
  EXPECT_EQ(control.fraction(60000), 1.0f);
}

}  // namespace
}  // namespace lumaro
