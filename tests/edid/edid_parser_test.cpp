#include "edid/edid_parser.hpp"

#include <gtest/gtest.h>

#include <string>

#include "edid/details_assembly.hpp"
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

// --- Constructed buffers ------------------------------------------------------------

TEST(EdidConstruction, NeedsABaseBlockWithHeaderBytesZeroFfAndZero) {
  EXPECT_FALSE(EDIDParser::make({}).has_value());
  EXPECT_FALSE(EDIDParser::make(edid(127)).has_value());
  EXPECT_TRUE(EDIDParser::make(edid(128)).has_value());
  // Bytes 2 to 6 are not compared.
  EXPECT_TRUE(EDIDParser::make(edid(128, {{2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}})).has_value());
  EXPECT_FALSE(EDIDParser::make(edid(128, {{0, 0x01}})).has_value());
  EXPECT_FALSE(EDIDParser::make(edid(128, {{1, 0xFE}})).has_value());
  EXPECT_FALSE(EDIDParser::make(edid(256, {{7, 0xFF}})).has_value());

  const Bytes longer = edid(300, {{299, 0x5A}});
  const auto parser = EDIDParser::make(longer);
  ASSERT_TRUE(parser.has_value());
  EXPECT_EQ(parser->data(), longer);
  EXPECT_TRUE(std::equal(parser->bytes().begin(), parser->bytes().end(), longer.begin()));
}

using Rule = std::optional<std::string> (*)(const EDIDParser&);

struct RuleCase {
  const char* name;
  Bytes bytes;
  Rule rule;
  std::optional<std::string> expected;
};

class EdidRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(EdidRules, DecodeOneField) {
  const auto parser = EDIDParser::make(GetParam().bytes);
  ASSERT_TRUE(parser.has_value());
  EXPECT_EQ(GetParam().rule(*parser), GetParam().expected);
}

const Rule manufacturer = [](const EDIDParser& p) { return p.manufacturer(); };
const Rule productCode = [](const EDIDParser& p) { return p.productCode(); };
const Rule serial = [](const EDIDParser& p) { return p.serialNumber(); };
const Rule date = [](const EDIDParser& p) { return p.manufactureDate(); };
const Rule dimensions = [](const EDIDParser& p) { return p.dimensions(); };
const Rule depth = [](const EDIDParser& p) { return p.colorDepth(); };
const Rule connection = [](const EDIDParser& p) { return p.connectionType(); };
const Rule hdcp = [](const EDIDParser& p) { return std::optional<std::string>(p.hdcpSupport()); };

INSTANTIATE_TEST_SUITE_P(
    Constructed, EdidRules,
    ::testing::Values(
        RuleCase{"ManufacturerApple", edid(128), manufacturer, "APP"},
        RuleCase{"ManufacturerIgnoresBit15", edid(128, {{8, 0x86}}), manufacturer, "APP"},
        RuleCase{"ManufacturerZZZ", edid(128, {{8, 0x6B}, {9, 0x5A}}), manufacturer, "ZZZ"},
        RuleCase{"ManufacturerZero", edid(128, {{8, 0}, {9, 0}}), manufacturer, std::nullopt},
        // 27 in the first letter, 0 in the third.
        RuleCase{"ManufacturerFirstLetterOutOfRange", edid(128, {{8, 0x6C}, {9, 0x21}}), manufacturer, std::nullopt},
        RuleCase{"ManufacturerThirdLetterZero", edid(128, {{8, 0x06}, {9, 0x20}}), manufacturer, std::nullopt},
        RuleCase{"ProductCodeLittleEndian", edid(128), productCode, "0x9226"},
        RuleCase{"ProductCodePadded", edid(128, {{10, 0xAB}, {11, 0}}), productCode, "0x00AB"},
        RuleCase{"SerialOne", edid(128), serial, "1"},
        RuleCase{"SerialZeroIsAbsent", edid(128, {{12, 0}}), serial, std::nullopt},
        RuleCase{"SerialHighByte", edid(128, {{12, 0}, {15, 0x01}}), serial, "16777216"},
        RuleCase{"SerialMaximum", edid(128, {{12, 0xFF}, {13, 0xFF}, {14, 0xFF}, {15, 0xFF}}), serial, "4294967295"},
        RuleCase{"DateWeek", edid(128), date, "Week 12, 2010"},
        RuleCase{"DateWeekZero", edid(128, {{16, 0}}), date, "Year 2010"},
        RuleCase{"DateModelYear", edid(128, {{16, 255}}), date, "Year 2010"},
        RuleCase{"DateFirstWeek1990", edid(128, {{16, 1}, {17, 0}}), date, "Week 1, 1990"},
        RuleCase{"DateLastWeek2245", edid(128, {{16, 254}, {17, 255}}), date, "Week 254, 2245"},
        RuleCase{"Dimensions", edid(128), dimensions, "52 cm × 32 cm"},
        RuleCase{"DimensionsNoWidth", edid(128, {{21, 0}}), dimensions, std::nullopt},
        RuleCase{"DimensionsNoHeight", edid(128, {{22, 0}}), dimensions, std::nullopt},
        RuleCase{"DepthAnalog", edid(128, {{20, 0x00}}), depth, "Analog (no color depth info)"},
        RuleCase{"DepthAnalogIgnoresCode", edid(128, {{20, 0x70}}), depth, "Analog (no color depth info)"},
        RuleCase{"DepthCode0", edid(128, {{20, 0x80}}), depth, "Color depth undefined"},
        RuleCase{"DepthCode1", edid(128, {{20, 0x9F}}), depth, "6 bits per color"},
        RuleCase{"DepthCode2", edid(128, {{20, 0xA5}}), depth, "8 bits per color"},
        RuleCase{"DepthCode3", edid(128, {{20, 0xB0}}), depth, "10 bits per color"},
        RuleCase{"DepthCode4", edid(128, {{20, 0xC0}}), depth, "12 bits per color"},
        RuleCase{"DepthCode5", edid(128, {{20, 0xD0}}), depth, "14 bits per color"},
        RuleCase{"DepthCode6", edid(128, {{20, 0xE0}}), depth, "16 bits per color"},
        RuleCase{"DepthCode7", edid(128, {{20, 0xF0}}), depth, "Reserved"},
        RuleCase{"ConnectionBaseBlockOnly", edid(128), connection, std::nullopt},
        RuleCase{"ConnectionDisplayInformation", edid(129, {{128, 0x40}}), connection, "DVI"},
        RuleCase{"ConnectionCea", edid(256, {{128, 0x02}}), connection, "DisplayPort"},
        RuleCase{"ConnectionOtherTagDigital", edid(256, {{128, 0x70}}), connection, "Digital"},
        RuleCase{"ConnectionOtherTagAnalog", edid(256, {{128, 0x70}, {20, 0x0F}}), connection, "Analog"},
        // Only the first extension block is looked at.
        RuleCase{"ConnectionSecondExtensionIgnored", edid(384, {{128, 0x70}, {256, 0x02}}), connection, "Digital"},
        RuleCase{"HdcpBaseBlockOnly", edid(128), hdcp, "Unknown"},
        RuleCase{"HdcpOneExtensionByte", edid(129, {{128, 0x40}}), hdcp, "Not supported"},
        RuleCase{"HdcpFlagByteMissing", edid(136, {{128, 0x40}}), hdcp, "Not supported"},
        RuleCase{"HdcpFlagInShortBlock", edid(137, {{128, 0x40}, {136, 0x40}}), hdcp, "HDCP 1.x"},
        RuleCase{"HdcpFlagSet", edid(256, {{128, 0x40}, {136, 0x40}}), hdcp, "HDCP 1.x"},
        RuleCase{"HdcpOtherBitsOnly", edid(256, {{128, 0x40}, {136, 0xBF}}), hdcp, "Not supported"},
        RuleCase{"HdcpCea", edid(256, {{128, 0x02}}), hdcp, "HDCP 1.3+ (via DisplayPort)"},
        RuleCase{"HdcpOtherTag", edid(256, {{128, 0x70}, {136, 0x40}}), hdcp, "Unknown"},
        RuleCase{"HdcpFlagBeyondFirstExtension", edid(300, {{128, 0x70}, {256, 0x40}, {264, 0x40}}), hdcp, "Unknown"}),
    [](const auto& info) { return info.param.name; });

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
