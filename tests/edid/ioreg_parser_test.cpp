#include "edid/ioreg_parser.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "edid_builders.hpp"
#include "adapters/simulated/line_sinks.hpp"

namespace lumaro {
namespace {

using testing_edid::Bytes;
using testing_edid::concat;
using testing_edid::edid;
using testing_edid::hexOf;
using Lines = std::vector<std::string>;

const Bytes kEdid = edid(128);  // 256 digits: exactly a full block
const std::string kHex = hexOf(kEdid);
const Bytes kOther = edid(128, {{10, 0x1C}});  // another product code
const std::string kOtherHex = hexOf(kOther);
const Bytes kHalf(kEdid.begin(), kEdid.begin() + 64);

std::string joined(const Lines& lines, const std::string& separator = "\n") {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? separator : "") + lines[i];
  return text;
}

// The hex in lines of 32 digits, groups of 8 separated by spaces.
Lines wrapped(const std::string& hex) {
  Lines lines;
  for (std::size_t line = 0; line < hex.size(); line += 32) {
    std::string text = "                  ";
    for (std::size_t group = line; group < std::min(line + 32, hex.size()); group += 8) {
      text += hex.substr(group, 8) + " ";
    }
    lines.push_back(text);
  }
  return lines;
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Lines operator+(Lines lines, const std::string& line) {
  lines.push_back(line);
  return lines;
}

// A record as one line, so that a parse's whole outcome is a list of lines.
// Absent and empty texts differ: an absent one shows as "none", a present one quoted.
std::string record(const std::optional<std::string>& name, const Bytes& data,
                   std::optional<std::int64_t> bpc = std::nullopt,
                   const std::optional<std::string>& connection = std::nullopt) {
  const auto shown = [](const std::optional<std::string>& text) { return text ? '"' + *text + '"' : "none"; };
  return "record " + shown(name) + " bpc " + (bpc ? std::to_string(*bpc) : "none") + " connection " +
         shown(connection) + " <" + hexOf(data) + ">";
}

struct ParseCase {
  const char* name;
  std::string text;
  Lines outcome;  // the diagnostic lines without the controller prefix, then the records
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseIoregOutput : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseIoregOutput, PrintsTheLinesAndReturnsTheRecords) {
  VectorLineSink sink;
  Lines records;
  for (const auto& r : parseIoregOutput(GetParam().text, sink)) {
    records.push_back(record(r.name, r.edidData, r.colorDepthBpc, r.connectionType));
  }
  EXPECT_EQ(sink.lines() + records, GetParam().outcome);
}

const auto caseName = [](const auto& info) { return std::string(info.param.name); };

// --- Metadata lines ---------------------------------------------------------------

const std::string kHints = R"(    "DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cinema"})";
const std::string kMetadata =
    R"(    "Metadata" = {"EDID"=<)" + kHex + R"(>,"DFP Type Description"="DisplayPort","ProductName"="LED Cinema"})";
const std::string kWrappedHint = R"("DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cinema)";

// Metadata lines that give one record.
ParseCase fromMetadata(const char* name, std::string text, std::string expected) {
  return {name, std::move(text), {"Found 1 EDID entries from Metadata", std::move(expected)}};
}

// `hints` before the LED Cinema metadata line, which then has colour depth `bpc`.
ParseCase hinted(const char* name, const Lines& hints, std::optional<std::int64_t> bpc) {
  return fromMetadata(name, joined(hints + kMetadata), record("LED Cinema", kEdid, bpc, "DisplayPort"));
}

INSTANTIATE_TEST_SUITE_P(
    Metadata, ParseIoregOutput,
    ::testing::Values(
        hinted("HintsGiveColourDepth", {kHints}, 10),
        // Pass 1 reads the whole text before pass 2, so a later hint still counts.
        fromMetadata("PartsInAnyOrder",
                     joined({R"("Metadata" = {"ProductName"="LED Cinema","EDID"=<)" + kHex +
                                 R"(>,"DFP Type Description"="HDMI"})",
                             kHints}),
                     record("LED Cinema", kEdid, 10, "HDMI")),
        hinted("LaterHintWins", {R"("DisplayHints" = {"MaxBpc"=8,"ProductName"="LED Cinema"})", kHints}, 10),
        hinted("OverflowingMaxBpcGivesNoHint",
               {R"("DisplayHints" = {"MaxBpc"=9223372036854775808,"ProductName"="LED Cinema"})"}, std::nullopt),
        hinted("HintNameWrapped", {R"("DisplayHints" = {"MaxBpc"=10,"ProductName"="LED Cin)", R"(ema"})"}, 10),
        hinted("HintNameQuoteOnTheFifthLine", {kWrappedHint, "", "", "", "", "\"}"}, 10),
        hinted("HintNameQuoteTooFarAway", {kWrappedHint, "", "", "", "", "", "\"}"}, std::nullopt),
        // Canonically equivalent names (precomposed and decomposed é) are one key.
        fromMetadata("CanonicallyEquivalentNames",
                     joined({"\"DisplayHints\" = {\"MaxBpc\"=8,\"ProductName\"=\"Caf\u00E9\"}",
                             "\"Metadata\" = {\"ProductName\"=\"Cafe\u0301\",\"EDID\"=<" + kHex + ">}"}),
                     record("Cafe\u0301", kEdid, 8)),
        fromMetadata("BlankNameIsEmptyNotAbsent",
                     R"("Metadata" = {"ProductName"="   ","DFP Type Description"="","EDID"=<)" + kHex + ">}",
                     record("", kEdid, std::nullopt, "")),
        // The name is the first quoted text anywhere after the key, here the next key.
        fromMetadata("UnquotedNameAndUnclosedConnection",
                     R"("Metadata" = {"ProductName"=7,"EDID"=<)" + kHex + R"(>,"DFP Type Description"="DP})",
                     record("EDID", kEdid)),
        fromMetadata("OddDigitCountEndsInLowNibble", R"("Metadata" = {"EDID"=<)" + kHex + "7>}",
                     record(std::nullopt, concat(kEdid, {0x07}))),
        ParseCase{"UnreadableValuesGiveNoRecord",
                  joined({R"("Metadata" = {"EDID"=<)" + kHex.substr(0, 20) + " " + kHex.substr(20) + ">}",
                          R"("Metadata" = {"EDID"=<)" + kHex + "}"}),
                  {"Found EDID key at line 0", "Found EDID key at line 1", "Parsed 0 EDID entries from ioreg"}},
        hinted("PropertyBlocksIgnoredOnceMetadataFound", {"\"IODisplayEDID\" = <" + kOtherHex + ">", "}"},
               std::nullopt)),
    caseName);

// --- Property blocks ----------------------------------------------------------------

const std::string kKeyLine = "      \"IODisplayEDID\" = <" + kHex + ">";
const std::string kOneFromIoreg = "Parsed 1 EDID entries from ioreg";

std::string keyFound(int line) { return "Found EDID key at line " + std::to_string(line); }

Lines nameFound(int line, const std::string& name = {}) {
  Lines lines{"Found DisplayProductName at line " + std::to_string(line)};
  return name.empty() ? lines : lines + ("Found display name: " + name);
}

// The lines of one block: its key found at `keyLine`, then `data` converted for `display`.
Lines block(int keyLine, const Bytes& data, const std::optional<std::string>& display) {
  return {keyFound(keyLine),
          "Parsed EDID data (" + std::to_string(data.size()) + " bytes) for display: " + display.value_or("Unknown")};
}

// A dump with one block, its key on `keyLine`, giving `data` without a name.
ParseCase oneBlock(const char* name, std::string text, int keyLine, const Bytes& data = kEdid) {
  return {name, std::move(text), block(keyLine, data, std::nullopt) + kOneFromIoreg + record(std::nullopt, data)};
}

// A dump with one block of kEdid for `display`, its key on `keyLine` after the `earlier` lines.
ParseCase oneBlockAfter(const char* name, std::string text, const Lines& earlier, int keyLine,
                        const std::optional<std::string>& display = std::nullopt) {
  return {name, std::move(text), earlier + block(keyLine, kEdid, display) + kOneFromIoreg + record(display, kEdid)};
}

// A product-name entry whose English name stands `ahead` lines below it, then a block.
std::string nameLinesAhead(std::size_t ahead) {
  return joined(Lines{R"("DisplayProductName" = {)"} + Lines(ahead - 1, "  x") + R"(  "en" = "LED Cinema")" + kKeyLine +
                "");
}

INSTANTIATE_TEST_SUITE_P(
    PropertyBlocks, ParseIoregOutput,
    ::testing::Values(
        ParseCase{"EmptyText", "", {"Parsed 0 EDID entries from ioreg"}},
        // The block is converted while the next line is read, whatever it holds.
        oneBlock("WholeValueOnKeyLine", joined({"{", kKeyLine, "}"}), 1),
        ParseCase{"KeyLineIsLastLine", joined({"{", kKeyLine}), {keyFound(1), "Parsed 0 EDID entries from ioreg"}},
        oneBlock("TwoBlockValueOnKeyLine",
                 joined({"\"IODisplayEDID\" = <" + kHex + kOtherHex + ">", R"("IOFBTransform" = <01>)"}), 0,
                 concat(kEdid, kOther)),
        // Below the full size the block waits for a quoted line; values after
        // its ">" and digits on the lines in between are not part of it.
        oneBlock("ShortClosedValueKeepsItsSize",
                 joined({"\"EDID\" = <" + kHex.substr(0, 128) + "> <ffff>", "<0000>", "  00000000",
                         R"("IODisplayConnectFlags" = <00000000>)"}),
                 0, kHalf),
        // 8 lines of 32 digits reach 256; the lines after the block are not part of it.
        oneBlock("WrappedOverLinesOf32Digits",
                 joined(Lines{R"(      "IODisplayEDID" = <)"} + wrapped(kHex + kOtherHex) + ">"), 0),
        // A wrapped value ends at the ">" after its last digits.
        oneBlock("WrappedValueClosedAfterLastDigits",
                 joined(Lines{R"(      "IODisplayEDID" = <)"} + wrapped(kHex.substr(0, 96)) +
                        ("    " + kHex.substr(96, 32) + ">") + "    00000000" + R"(      "IOFBTransform" = <00>)"),
                 0, kHalf),
        oneBlock("OddPlainLineSkipped", joined(Lines{R"("EDID" = <)", "  abc", "  not hex"} + wrapped(kHex)), 0),
        oneBlockAfter("SecondKeyDiscardsOpenBlock",
                      joined({"\"EDID\" = <" + kOtherHex.substr(0, 64) + ">", "\"IODisplayEDID\" = <" + kHex + ">",
                              ""}),
                      {keyFound(0)}, 1),
        // A key without a value still opens a block; bracketed digits that follow fill it.
        oneBlock("KeyWithoutValueOpensBlock",
                 joined({R"("Config" = {"EDID"={"index"=0}})", R"("other" = 1)", "\"FBData\" = <" + kHex + ">", ""}),
                 0),
        oneBlock("CrLfCountsEmptyLines", joined({"{", kKeyLine, "}"}, "\r\n"), 2),
        // The name goes to the next block only, then is cleared.
        ParseCase{"NameForNextBlockOnly",
                  joined({R"("DisplayProductName" = {)", R"(  "de_DE" = "Kino")", R"(  "en_US" = "  Cinema HD  ")", "}",
                          kKeyLine, "}", kKeyLine, "}"}),
                  nameFound(0, "Cinema HD") + block(4, kEdid, "Cinema HD") + block(6, kEdid, std::nullopt) +
                      "Parsed 2 EDID entries from ioreg" + record("Cinema HD", kEdid) + record(std::nullopt, kEdid)},
        // A closing brace ends the search; an unquoted or empty value is passed over.
        oneBlockAfter("BraceEndsSearch",
                      joined({R"("DisplayProductName" = {)", R"(  "en" = LED Cinema)", R"(  "en" = "")", "}",
                              R"(  "en" = "Too late")", kKeyLine, ""}),
                      nameFound(0), 5),
        oneBlockAfter("NineLinesAhead", nameLinesAhead(9), nameFound(0, "LED Cinema"), 10, "LED Cinema"),
        oneBlockAfter("TenLinesAheadIsTooFar", nameLinesAhead(10), nameFound(0), 11),
        // Names inside an open block are still read, before the line's block step.
        oneBlockAfter("NameStepRunsInsideBlock",
                      joined({"\"EDID\" = <" + kHex.substr(0, 64) + ">", R"("DisplayProductName" = {)",
                              R"("en_US" = "Cinema HD")", "}", "\"IODisplayEDID\" = <" + kHex + ">", ""}),
                      Lines{keyFound(0)} + nameFound(1, "Cinema HD"), 4, "Cinema HD")),
    caseName);

// --- hexStringToData -------------------------------------------------------------

// What a value converts to: its bytes in hex or "nothing", then any diagnostic lines.
std::string converted(std::string_view hex) {
  VectorLineSink sink;
  const auto bytes = hexStringToData(hex, sink);
  std::string outcome = bytes ? hexOf(*bytes) : "nothing";
  for (const auto& line : sink.lines()) outcome += "; " + line;
  return outcome;
}

TEST(HexStringToData, ReadsPairsOfDigitsOrNamesTheFirstBadPiece) {
  EXPECT_EQ(converted("0A fF 1F"), "0aff1f") << "spaces are ignored, digits read in either case";
  EXPECT_EQ(converted("abc"), "ab0c") << "an odd last digit is the low nibble of a last byte";
  EXPECT_EQ(converted(""), "nothing");
  EXPECT_EQ(converted("   "), "nothing");
  EXPECT_EQ(converted("zz"), "nothing; Failed to parse hex byte: zz");
  EXPECT_EQ(converted("01 2 3g4"), "nothing; Failed to parse hex byte: g4") << "pieces are counted without the spaces";
  EXPECT_EQ(converted("0102x"), "nothing; Failed to parse hex byte: x");
  // Pieces are two user-perceived characters: a digit with a combining mark is one, and so is CR LF.
  EXPECT_EQ(converted("0ab\u0301"), "nothing; Failed to parse hex byte: b\u0301");
  EXPECT_EQ(converted("0\r\n1"), "nothing; Failed to parse hex byte: 0\r\n");
  EXPECT_EQ(converted("\uFF10\uFF11"), "nothing; Failed to parse hex byte: \uFF10\uFF11") << "full-width digits";
}

}  // namespace
}  // namespace lumaro
