#include "display_control/details_assembly.hpp"

#include <gtest/gtest.h>

#include <string>

#include "edid_builders.hpp"
#include "fixtures.hpp"

namespace lumaro {
namespace {

using testing::fixtureBytes;
using testing_edid::Bytes;
using testing_edid::edid;

// --- Real EDIDs -------------------------------------------------------------------

// Expected values were read from each file with edid-decode, except the HDCP
// text of the DI-EXT blocks, whose rule reads another bit (see the fixtures README).
struct FixtureCase {
  const char* file;
  DisplayEDIDDetails details;
};

class EdidFixtures : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(EdidFixtures, DecodeToTheValuesEdidDecodeReports) {
  const Bytes bytes = fixtureBytes(std::string("edid/") + GetParam().file);
  ASSERT_GE(bytes.size(), 128u) << GetParam().file;
  const auto parser = EDIDParser::make(bytes);
  ASSERT_TRUE(parser.has_value());
  EXPECT_EQ(parser->data(), bytes);
  const DisplayEDIDDetails decoded = assembleDisplayServiceDetails(*parser, 0);
  const DisplayEDIDDetails& expected = GetParam().details;
  EXPECT_EQ(decoded.manufacturer, expected.manufacturer);
  EXPECT_EQ(decoded.productID, expected.productID);
  EXPECT_EQ(decoded.serialNumber, expected.serialNumber);
  EXPECT_EQ(decoded.manufactureDate, expected.manufactureDate);
  EXPECT_EQ(decoded.dimensions, expected.dimensions);
  EXPECT_EQ(decoded.colorDepth, expected.colorDepth);
  EXPECT_EQ(decoded.connectionType, expected.connectionType);
  EXPECT_EQ(decoded.hdcpSupport, expected.hdcpSupport);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, EdidFixtures,
    ::testing::Values(FixtureCase{"apple-cinema-hd-921c.bin",
                                  {"APP", "0x921C", "33666711", "Week 35, 2007", "49 cm × 31 cm",
                                   "Color depth undefined", "DVI", "Not supported"}},
                      FixtureCase{"apple-cinema-hd-921e.bin",
                                  {"APP", "0x921E", "50201790", "Week 53, 2004", "49 cm × 31 cm",
                                   "Color depth undefined", "DVI", "Not supported"}},
                      FixtureCase{"apple-led-cinema-9226.bin",
                                  {"APP", "0x9226", "34161703", "Week 13, 2011", "60 cm × 34 cm", "10 bits per color",
                                   "DisplayPort", "HDCP 1.3+ (via DisplayPort)"}},
                      // Three blocks: only the first extension counts.
                      FixtureCase{"apple-imac-5k-ae03.bin",
                                  {"APP", "0xAE03", "Unknown", "Week 12, 2014", "60 cm × 34 cm", "10 bits per color",
                                   "DisplayPort", "HDCP 1.3+ (via DisplayPort)"}},
                      // Base block only; model year instead of a week.
                      FixtureCase{"apple-color-lcd-9ca3.bin",
                                  {"APP", "0x9CA3", "Unknown", "Year 2009", "33 cm × 21 cm", "Color depth undefined",
                                   "Unknown", "Unknown"}},
                      FixtureCase{"dell-p2018h.bin",
                                  {"DEL", "0xD0C8", "827610709", "Week 13, 2018", "43 cm × 24 cm",
                                   "Color depth undefined", "DisplayPort", "HDCP 1.3+ (via DisplayPort)"}},
                      FixtureCase{"aoc-2434.bin",
                                  {"AOC", "0x2434", "1176", "Week 42, 2009", "52 cm × 29 cm", "Color depth undefined",
                                   "DisplayPort", "HDCP 1.3+ (via DisplayPort)"}},
                      // Analog input with an extension block of tag 00.
                      FixtureCase{"acer-al2216w.bin",
                                  {"ACR", "0xAD74", "1883244302", "Week 4, 2007", "47 cm × 30 cm",
                                   "Analog (no color depth info)", "Analog", "Unknown"}}),
    [](const auto& info) {
      std::string name = info.param.file;
      name = name.substr(0, name.find('.'));
      std::erase(name, '-');
      return name;
    });

// --- Assembly --------------------------------------------------------------------

// The base block with no serial, no manufacturer and no size; a CEA extension.
EDIDParser sparseParser() { return *EDIDParser::make(edid(256, {{8, 0}, {9, 0}, {12, 0}, {21, 0}, {128, 0x02}})); }

TEST(DisplayServiceAssembly, FallsBackToDisplaySerialThenUnknown) {
  const DisplayEDIDDetails withSerial = assembleDisplayServiceDetails(sparseParser(), 4242);
  EXPECT_EQ(withSerial, (DisplayEDIDDetails{"Unknown", "0x9226", "4242", "Week 12, 2010", "Unknown", "8 bits per color",
                                            "DisplayPort", "HDCP 1.3+ (via DisplayPort)"}));
  EXPECT_EQ(assembleDisplayServiceDetails(sparseParser(), 0).serialNumber, "Unknown");
  // The EDID's own serial wins over the display's.
  EXPECT_EQ(assembleDisplayServiceDetails(*EDIDParser::make(edid(128)), 4242).serialNumber, "1");
  EXPECT_EQ(assembleDisplayServiceDetails(*EDIDParser::make(edid(128)), 0).connectionType, "Unknown");
}

TEST(RegistryDumpAssembly, TakesDepthAndConnectionFromTheEntry) {
  DisplayEDID entry{"LED Cinema", {}, 10, "Thunderbolt"};
  const DisplayEDIDDetails fromEntry = assembleRegistryDumpDetails(sparseParser(), entry, "C02XYZ");
  EXPECT_EQ(fromEntry, (DisplayEDIDDetails{"Unknown", "0x9226", "C02XYZ", "Week 12, 2010", "Unknown",
                                           "10 bits per color", "Thunderbolt", "HDCP 1.3+ (via DisplayPort)"}));

  // Without them: no depth even though byte 20 has one; the EDID's connection.
  entry.colorDepthBpc.reset();
  entry.connectionType.reset();
  const DisplayEDIDDetails fromEdid = assembleRegistryDumpDetails(sparseParser(), entry, std::nullopt);
  EXPECT_EQ(fromEdid.colorDepth, "Unknown");
  EXPECT_EQ(fromEdid.connectionType, "DisplayPort");
  EXPECT_EQ(fromEdid.serialNumber, "Unknown");
  EXPECT_EQ(assembleRegistryDumpDetails(*EDIDParser::make(edid(128)), entry, std::nullopt).connectionType, "Unknown");

  // An empty connection text is present and shown as it is.
  entry.connectionType = "";
  EXPECT_EQ(assembleRegistryDumpDetails(sparseParser(), entry, std::nullopt).connectionType, "");
  EXPECT_EQ(assembleRegistryDumpDetails(*EDIDParser::make(edid(128)), entry, "C02XYZ").serialNumber, "1");
}

}  // namespace
}  // namespace lumaro
