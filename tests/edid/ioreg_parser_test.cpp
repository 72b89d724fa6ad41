#include "edid/ioreg_parser.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "edid_builders.hpp"
#include "fixtures.hpp"
#include "platform/simulated/line_sinks.hpp"

namespace lumaro {
namespace {

using testing::fixtureBytes;
using testing_edid::Bytes;
using testing_edid::concat;
using testing_edid::edid;
using testing_edid::hexOf;

const Bytes kEdid = edid(128);  // 256 digits: exactly a full block
const std::string kHex = hexOf(kEdid);
const Bytes kOther = edid(128, {{10, 0x1C}});  // another product code
const std::string kOtherHex = hexOf(kOther);

std::string joined(const std::vector<std::string>& lines, const std::string& separator = "\n") {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? separator : "") + lines[i];
  return text;
}

// The hex of `bytes` in lines of 32 digits, groups of 8 separated by spaces.
std::vector<std::string> wrapped(const std::string& hex) {
  std::vector<std::string> lines;
  for (std::size_t line = 0; line < hex.size(); line += 32) {
    std::string text = "                  ";
    for (std::size_t group = line; group < std::min(line + 32, hex.size()); group += 8) {
      text += hex.substr(group, 8) + " ";
    }
    lines.push_back(text);
  }
  return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct ExpectedRecord {
  std::optional<std::string> name;
  Bytes data;
  std::optional<std::int64_t> bpc;
  std::optional<std::string> connection;
};

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;  // diagnostics without the controller prefix
  std::vector<ExpectedRecord> records;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseIoregOutput : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseIoregOutput, PrintsTheLinesAndReturnsTheRecords) {
  VectorLineSink sink;
  const auto records = parseIoregOutput(GetParam().text, sink);
  EXPECT_EQ(sink.lines(), GetParam().lines);
  ASSERT_EQ(records.size(), GetParam().records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto& expected = GetParam().records[i];
    EXPECT_EQ(records[i].name, expected.name) << "record " << i;
    EXPECT_EQ(hexOf(records[i].edidData), hexOf(expected.data)) << "record " << i;
    EXPECT_EQ(records[i].colorDepthBpc, expected.bpc) << "record " << i;
    EXPECT_EQ(records[i].connectionType, expected.connection) << "record " << i;
  }
}

const std::string kHints = R"(    "DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cinema"})";
const std::string kMetadata =
    R"(    "Metadata" = {"EDID"=<)" + kHex + R"(>,"DFP Type Description"="DisplayPort","ProductName"="LED Cinema"})";
const std::string kFoundOne = "Found 1 EDID entries from Metadata";
const std::string kNoneFromIoreg = "Parsed 0 EDID entries from ioreg";
const std::string kOneFromIoreg = "Parsed 1 EDID entries from ioreg";
const Bytes kHalf(kEdid.begin(), kEdid.begin() + 64);

// The lines of one block: its key found at `keyLine`, then `bytes` converted for `display`.
std::vector<std::string> block(int keyLine, int bytes, const std::string& display = "Unknown") {
  return {"Found EDID key at line " + std::to_string(keyLine),
          "Parsed EDID data (" + std::to_string(bytes) + " bytes) for display: " + display};
}

std::vector<std::string> operator+(std::vector<std::string> lines, const std::string& line) {
  lines.push_back(line);
  return lines;
}

ExpectedRecord unnamed(Bytes data) { return {std::nullopt, std::move(data), std::nullopt, std::nullopt}; }

INSTANTIATE_TEST_SUITE_P(
    Metadata, ParseIoregOutput,
    ::testing::Values(
        ParseCase{"HintsGiveColourDepth",
                  joined({kHints, kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, 10, "DisplayPort"}}},
        // Pass 1 reads the whole text before pass 2, so a later hint still counts.
        ParseCase{"PartsInAnyOrder",
                  joined({R"("Metadata" = {"ProductName"="LED Cinema","EDID"=<)" + kHex +
                              R"(>,"DFP Type Description"="HDMI"})",
                          kHints}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, 10, "HDMI"}}},
        ParseCase{"LaterHintWins",
                  joined({R"("DisplayHints" = {"MaxBpc"=8,"ProductName"="LED Cinema"})", kHints, kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, 10, "DisplayPort"}}},
        // The first "MaxBpc"= followed by digits is the match; its digits are read whole.
        ParseCase{"FirstMatchingMaxBpc",
                  joined({R"("DisplayHints" = {"MaxBpc"=x,"MaxBpc"=12,"ProductName"="LED Cinema"})", kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, 12, "DisplayPort"}}},
        ParseCase{"OverflowingMaxBpcGivesNoHint",
                  joined({R"("DisplayHints" = {"MaxBpc"=9223372036854775808,"ProductName"="LED Cinema"})", kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, std::nullopt, "DisplayPort"}}},
        ParseCase{"HintNameWrappedOntoNextLine",
                  joined({R"("DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cin)", R"(ema"})", kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, 10, "DisplayPort"}}},
        ParseCase{"HintNameQuoteOnTheFifthLine",
                  joined(std::vector<std::string>{R"("DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cinema)"} +
                         std::vector<std::string>(4, "") + std::vector<std::string>{"\"}", kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, 10, "DisplayPort"}}},
        ParseCase{"HintNameQuoteTooFarAway",
                  joined(std::vector<std::string>{R"("DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cinema)"} +
                         std::vector<std::string>(5, "") + std::vector<std::string>{"\"}", kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, std::nullopt, "DisplayPort"}}},
        // Canonically equivalent names (precomposed and decomposed é) are one key.
        ParseCase{"CanonicallyEquivalentNames",
                  joined({"\"DisplayHints\" = {\"MaxBpc\"=8,\"ProductName\"=\"Caf\u00E9\"}",
                          "\"Metadata\" = {\"ProductName\"=\"Cafe\u0301\",\"EDID\"=<" + kHex + ">}"}),
                  {kFoundOne},
                  {{"Cafe\u0301", kEdid, 8, std::nullopt}}},
        ParseCase{"BlankNameIsEmptyNotAbsent",
                  R"("Metadata" = {"ProductName"="   ","DFP Type Description"="","EDID"=<)" + kHex + ">}",
                  {kFoundOne},
                  {{"", kEdid, std::nullopt, ""}}},
        // The name is the first quoted text anywhere after the key, here the next key.
        ParseCase{"UnquotedNameAndUnclosedConnection",
                  R"("Metadata" = {"ProductName"=7,"EDID"=<)" + kHex + R"(>,"DFP Type Description"="DP})",
                  {kFoundOne},
                  {{"EDID", kEdid, std::nullopt, std::nullopt}}},
        ParseCase{"OddDigitCountEndsInLowNibble",
                  R"("Metadata" = {"EDID"=<)" + kHex + "7>}",
                  {kFoundOne},
                  {unnamed(concat(kEdid, {0x07}))}},
        // A rejected value is passed over for the next one on the line; a second good one is ignored.
        ParseCase{"FirstMatchingEdidValue",
                  R"("Metadata" = {"EDID"=<zz>,"EDID"=<)" + kHex + R"(>,"EDID"=<)" + kOtherHex + ">}",
                  {kFoundOne},
                  {unnamed(kEdid)}},
        ParseCase{"UnreadableValuesGiveNoRecord",
                  joined({R"("Metadata" = {"EDID"=<)" + kHex.substr(0, 20) + " " + kHex.substr(20) + ">}",
                          R"("Metadata" = {"EDID"=<)" + kHex + "}"}),
                  {"Found EDID key at line 0", "Found EDID key at line 1", kNoneFromIoreg},
                  {}},
        ParseCase{"PropertyBlocksIgnoredOnceMetadataFound",
                  joined({"\"IODisplayEDID\" = <" + kOtherHex + ">", "}", kMetadata}),
                  {kFoundOne},
                  {{"LED Cinema", kEdid, std::nullopt, "DisplayPort"}}}),
    [](const auto& info) { return info.param.name; });

const std::string kKeyLine = "      \"IODisplayEDID\" = <" + kHex + ">";
INSTANTIATE_TEST_SUITE_P(
    PropertyBlocks, ParseIoregOutput,
    ::testing::Values(
        ParseCase{"EmptyText", "", {kNoneFromIoreg}, {}},
        // The block is converted while the next line is read, whatever it holds.
        ParseCase{"WholeValueOnKeyLine", joined({"{", kKeyLine, "}"}), block(1, 128) + kOneFromIoreg, {unnamed(kEdid)}},
        ParseCase{"KeyLineIsLastLine", joined({"{", kKeyLine}), {"Found EDID key at line 1", kNoneFromIoreg}, {}},
        ParseCase{"TwoBlockValueOnKeyLine",
                  joined({"\"IODisplayEDID\" = <" + kHex + kOtherHex + ">", R"("IOFBTransform" = <01>)"}),
                  block(0, 256) + kOneFromIoreg,
                  {unnamed(concat(kEdid, kOther))}},
        // Below the full size the block waits for a quoted line; values after
        // its ">" and digits on the lines in between are not part of it.
        ParseCase{"ShortClosedValueKeepsItsSize",
                  joined({"\"EDID\" = <" + kHex.substr(0, 128) + "> <ffff>", "<0000>", "  00000000",
                          R"("IODisplayConnectFlags" = <00000000>)"}),
                  block(0, 64) + kOneFromIoreg,
                  {unnamed(kHalf)}},
        // 8 lines of 32 digits reach 256; the lines after the block are not part of it.
        ParseCase{"WrappedOverLinesOf32Digits",
                  joined(std::vector<std::string>{R"(      "IODisplayEDID" = <)"} + wrapped(kHex + kOtherHex) +
                         std::vector<std::string>{">"}),
                  block(0, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        // A wrapped value ends at the ">" after its last digits.
        ParseCase{"WrappedValueClosedAfterLastDigits",
                  joined(std::vector<std::string>{R"(      "IODisplayEDID" = <)"} + wrapped(kHex.substr(0, 96)) +
                         std::vector<std::string>{"    " + kHex.substr(96, 32) + ">", "    00000000",
                                                  R"(      "IOFBTransform" = <00>)"}),
                  block(0, 64) + kOneFromIoreg,
                  {unnamed(kHalf)}},
        ParseCase{"OddPlainLineSkipped",
                  joined(std::vector<std::string>{R"("EDID" = <)", "  abc", "  not hex"} + wrapped(kHex)),
                  block(0, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        ParseCase{"SecondKeyDiscardsOpenBlock",
                  joined({"\"EDID\" = <" + kOtherHex.substr(0, 64) + ">", "\"IODisplayEDID\" = <" + kHex + ">", ""}),
                  std::vector<std::string>{"Found EDID key at line 0"} + block(1, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        // A key without a value still opens a block; bracketed digits that follow fill it.
        ParseCase{"KeyWithoutValueOpensBlock",
                  joined({R"("Config" = {"EDID"={"index"=0}})", R"("other" = 1)", "\"FBData\" = <" + kHex + ">", ""}),
                  block(0, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        // A ">" before any digit was collected does not end the value.
        ParseCase{"NonHexPiecesSkipped",
                  joined({"\"EDID\" = <xyz> < 00 0g > <" + kHex.substr(0, 200), "  " + kHex.substr(200) + ">"}),
                  block(0, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        ParseCase{"CrLfCountsEmptyLines",
                  joined({"{", kKeyLine, "}"}, "\r\n"),
                  block(2, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}}),
    [](const auto& info) { return info.param.name; });

std::vector<std::string> nameFound(int line, const std::string& name = {}) {
  std::vector<std::string> lines{"Found DisplayProductName at line " + std::to_string(line)};
  return name.empty() ? lines : lines + ("Found display name: " + name);
}

INSTANTIATE_TEST_SUITE_P(
    ProductNames, ParseIoregOutput,
    ::testing::Values(
        // The name goes to the next block only, then is cleared.
        ParseCase{
            "NameForNextBlockOnly",
            joined({R"("DisplayProductName" = {)", R"(  "de_DE" = "Kino")", R"(  "en_US" = "  Cinema HD  ")", "}",
                    kKeyLine, "}", kKeyLine, "}"}),
            nameFound(0, "Cinema HD") + block(4, 128, "Cinema HD") + block(6, 128) + "Parsed 2 EDID entries from ioreg",
            {{"Cinema HD", kEdid, std::nullopt, std::nullopt}, unnamed(kEdid)}},
        // A closing brace ends the search; an unquoted or empty value is passed over.
        ParseCase{"BraceEndsSearch",
                  joined({R"("DisplayProductName" = {)", R"(  "en" = LED Cinema)", R"(  "en" = "")", "}",
                          R"(  "en" = "Too late")", kKeyLine, ""}),
                  nameFound(0) + block(5, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        ParseCase{"NineLinesAhead",
                  joined(std::vector<std::string>{R"("DisplayProductName" = {)"} + std::vector<std::string>(8, "  x") +
                         std::vector<std::string>{R"(  "en" = "LED Cinema")", kKeyLine, ""}),
                  nameFound(0, "LED Cinema") + block(10, 128, "LED Cinema") + kOneFromIoreg,
                  {{"LED Cinema", kEdid, std::nullopt, std::nullopt}}},
        ParseCase{"TenLinesAheadIsTooFar",
                  joined(std::vector<std::string>{R"("DisplayProductName" = {)"} + std::vector<std::string>(9, "  x") +
                         std::vector<std::string>{R"(  "en" = "LED Cinema")", kKeyLine, ""}),
                  nameFound(0) + block(11, 128) + kOneFromIoreg,
                  {unnamed(kEdid)}},
        // Names inside an open block are still read, before the line's block step.
        ParseCase{"NameStepRunsInsideBlock",
                  joined({"\"EDID\" = <" + kHex.substr(0, 64) + ">", R"("DisplayProductName" = {)",
                          R"("en_US" = "Cinema HD")", "}", "\"IODisplayEDID\" = <" + kHex + ">", ""}),
                  std::vector<std::string>{"Found EDID key at line 0"} + nameFound(1, "Cinema HD") +
                      block(4, 128, "Cinema HD") + kOneFromIoreg,
                  {{"Cinema HD", kEdid, std::nullopt, std::nullopt}}}),
    [](const auto& info) { return info.param.name; });

// --- hexStringToData -------------------------------------------------------------

// A value either converts, or fails on one piece, which the diagnostic names.
struct HexCase {
  const char* name;
  std::string hex;
  std::optional<Bytes> bytes;
  std::optional<std::string> badPiece = std::nullopt;
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << c.name; }

class HexStringToData : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexStringToData, ReadsPairsOfDigits) {
  VectorLineSink sink;
  EXPECT_EQ(hexStringToData(GetParam().hex, sink), GetParam().bytes);
  std::vector<std::string> expectedLines;
  if (GetParam().badPiece) expectedLines.push_back("Failed to parse hex byte: " + *GetParam().badPiece);
  EXPECT_EQ(sink.lines(), expectedLines);
}

INSTANTIATE_TEST_SUITE_P(
    Hex, HexStringToData,
    ::testing::Values(HexCase{"SpacesIgnoredEitherCase", "0A fF 1F", Bytes{0x0A, 0xFF, 0x1F}},
                      HexCase{"OddLengthEndsInLowNibble", "abc", Bytes{0xAB, 0x0C}}, HexCase{"Empty", "", std::nullopt},
                      HexCase{"SpacesOnly", "   ", std::nullopt}, HexCase{"BadPair", "zz", std::nullopt, "zz"},
                      // Pieces are counted after the spaces are gone.
                      HexCase{"BadPieceAfterSpaces", "01 2 3g4", std::nullopt, "g4"},
                      HexCase{"BadLastSingleDigit", "0102x", std::nullopt, "x"},
                      // Pieces are two user-perceived characters: a digit with a
                      // combining mark is one, and so is CR LF.
                      HexCase{"CombiningMarkMakesOneCharacter", "0ab\u0301", std::nullopt, "b\u0301"},
                      HexCase{"CrLfIsOneCharacter", "0\r\n1", std::nullopt, "0\r\n"},
                      HexCase{"FullWidthDigitsAreNotHex", "\uFF10\uFF11", std::nullopt, "\uFF10\uFF11"}),
    [](const auto& info) { return info.param.name; });

// --- Fixture files ------------------------------------------------------------

std::string readText(const std::string& relativePath) {
  const Bytes bytes = fixtureBytes(relativePath);
  return std::string(bytes.begin(), bytes.end());
}

// The dumps embed the EDIDs of the decoder fixtures; the parser must give back
// exactly those bytes, or the part of them the block rules keep.
TEST(RegistryFixtures, IntelDumpsYieldTheEmbeddedEdidsWhateverTheLineEnds) {
  const Bytes led = fixtureBytes("edid/apple-led-cinema-9226.bin");
  DiscardingLineSink sink;
  for (const char* dump : {"registry/intel-display-nodes.txt", "registry/intel-display-nodes-crlf.txt"}) {
    const auto records = parseIoregOutput(readText(dump), sink);
    ASSERT_EQ(records.size(), 3u) << dump;
    EXPECT_EQ(records[0].name, "Cinema HD") << dump;
    EXPECT_EQ(records[0].edidData, fixtureBytes("edid/apple-cinema-hd-921c.bin")) << dump;
    EXPECT_EQ(records[1].name, "LED Cinema") << dump;
    EXPECT_EQ(records[1].edidData, Bytes(led.begin(), led.begin() + 128)) << dump;  // wrapped: base block only
    EXPECT_EQ(records[2].name, std::nullopt) << dump;
    // Not joined by the connect flags on the next line.
    EXPECT_EQ(records[2].edidData, fixtureBytes("edid/dell-p2018h.bin")) << dump;
  }
}

TEST(RegistryFixtures, AppleSiliconDumpYieldsMetadataRecords) {
  DiscardingLineSink sink;
  const auto records = parseIoregOutput(readText("registry/apple-silicon-metadata.txt"), sink);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].edidData, fixtureBytes("edid/apple-led-cinema-9226.bin"));
  EXPECT_EQ(records[0].colorDepthBpc, 10);
  EXPECT_EQ(records[1].edidData, fixtureBytes("edid/apple-cinema-hd-921c.bin"));
  EXPECT_EQ(records[1].colorDepthBpc, 12);
  EXPECT_EQ(records[2].edidData, fixtureBytes("edid/apple-imac-5k-ae03.bin"));
  EXPECT_EQ(records[3].name, "");
}

}  // namespace
}  // namespace lumaro
