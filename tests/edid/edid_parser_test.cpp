#include "edid/edid_parser.hpp"

#include <gtest/gtest.h>

#include <string>

#include "edid_builders.hpp"

namespace lumaro {
namespace {

using testing_edid::Bytes;
using testing_edid::edid;

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

// The common values are pinned by the golden fixture files; these are the edges.
INSTANTIATE_TEST_SUITE_P(
    Constructed, EdidRules,
    ::testing::Values(
        RuleCase{"ManufacturerIgnoresBit15", edid(128, {{8, 0x86}}), manufacturer, "APP"},
        RuleCase{"ManufacturerZZZ", edid(128, {{8, 0x6B}, {9, 0x5A}}), manufacturer, "ZZZ"},
        RuleCase{"ManufacturerZero", edid(128, {{8, 0}, {9, 0}}), manufacturer, std::nullopt},
        // 27 in the first letter, 0 in the third.
        RuleCase{"ManufacturerFirstLetterOutOfRange", edid(128, {{8, 0x6C}, {9, 0x21}}), manufacturer, std::nullopt},
        RuleCase{"ManufacturerThirdLetterZero", edid(128, {{8, 0x06}, {9, 0x20}}), manufacturer, std::nullopt},
        RuleCase{"ProductCodePadded", edid(128, {{10, 0xAB}, {11, 0}}), productCode, "0x00AB"},
        RuleCase{"SerialZeroIsAbsent", edid(128, {{12, 0}}), serial, std::nullopt},
        RuleCase{"SerialMaximum", edid(128, {{12, 0xFF}, {13, 0xFF}, {14, 0xFF}, {15, 0xFF}}), serial, "4294967295"},
        RuleCase{"DateWeekZero", edid(128, {{16, 0}}), date, "Year 2010"},
        RuleCase{"DateModelYear", edid(128, {{16, 255}}), date, "Year 2010"},
        RuleCase{"DateLastWeek2245", edid(128, {{16, 254}, {17, 255}}), date, "Week 254, 2245"},
        RuleCase{"DimensionsNoWidth", edid(128, {{21, 0}}), dimensions, std::nullopt},
        RuleCase{"DimensionsNoHeight", edid(128, {{22, 0}}), dimensions, std::nullopt},
        RuleCase{"DepthAnalogIgnoresCode", edid(128, {{20, 0x70}}), depth, "Analog (no color depth info)"},
        RuleCase{"DepthCode1", edid(128, {{20, 0x9F}}), depth, "6 bits per color"},
        RuleCase{"DepthCode2", edid(128, {{20, 0xA5}}), depth, "8 bits per color"},
        RuleCase{"DepthCode4", edid(128, {{20, 0xC0}}), depth, "12 bits per color"},
        RuleCase{"DepthCode5", edid(128, {{20, 0xD0}}), depth, "14 bits per color"},
        RuleCase{"DepthCode6", edid(128, {{20, 0xE0}}), depth, "16 bits per color"},
        RuleCase{"DepthCode7", edid(128, {{20, 0xF0}}), depth, "Reserved"},
        RuleCase{"ConnectionBaseBlockOnly", edid(128), connection, std::nullopt},
        RuleCase{"ConnectionOtherTagDigital", edid(256, {{128, 0x70}}), connection, "Digital"},
        RuleCase{"ConnectionOtherTagAnalog", edid(256, {{128, 0x70}, {20, 0x0F}}), connection, "Analog"},
        // Only the first extension block is looked at.
        RuleCase{"ConnectionSecondExtensionIgnored", edid(384, {{128, 0x70}, {256, 0x02}}), connection, "Digital"},
        RuleCase{"HdcpBaseBlockOnly", edid(128), hdcp, "Unknown"},
        RuleCase{"HdcpFlagByteMissing", edid(136, {{128, 0x40}}), hdcp, "Not supported"},
        RuleCase{"HdcpFlagInShortBlock", edid(137, {{128, 0x40}, {136, 0x40}}), hdcp, "HDCP 1.x"},
        RuleCase{"HdcpOtherBitsOnly", edid(256, {{128, 0x40}, {136, 0xBF}}), hdcp, "Not supported"},
        RuleCase{"HdcpOtherTag", edid(256, {{128, 0x70}, {136, 0x40}}), hdcp, "Unknown"},
        RuleCase{"HdcpFlagBeyondFirstExtension", edid(300, {{128, 0x70}, {256, 0x40}, {264, 0x40}}), hdcp, "Unknown"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lumaro
