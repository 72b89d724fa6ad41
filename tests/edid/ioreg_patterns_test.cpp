#include "edid/ioreg_patterns.hpp"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

namespace lumaro::ioreg {
namespace {

// The hand-written matchers stand in for three regular expressions; on any
// line they must find the same first match as the expressions themselves.
std::optional<std::string> regexGroup(const std::regex& pattern, const std::string& line, std::size_t skip) {
  std::smatch match;
  if (!std::regex_search(line, match, pattern)) return std::nullopt;
  return skip == 0 ? match[1].str() : match[0].str().substr(skip);
}

std::optional<std::string> asString(std::optional<std::string_view> view) {
  if (!view) return std::nullopt;
  return std::string(*view);
}

TEST(IoregPatterns, MatchersAgreeWithTheRegularExpressionsOnRandomLines) {
  const std::regex maxBpc(R"("MaxBpc"=[0-9]+)");
  const std::regex quoted(R"re("([^"]+)")re");
  const std::regex edid(R"re("EDID"=<([0-9a-fA-F]+)>)re");
  // Pieces of the three patterns and near misses, joined at random.
  const std::vector<std::string> tokens = {"\"MaxBpc\"=", "\"MaxBpc\"", "=", "\"EDID\"=<", "\"EDID\"", "<",   ">", "\"",
                                           "\"\"",        "0",          "9", "a",          "F",        "g",   "x", " ",
                                           ",",           "{",          "}", "\u00E9",     "12",       "ff00"};
  std::mt19937 random(5);
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    const int count = static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) line += tokens[random() % tokens.size()];
    ASSERT_EQ(asString(matchMaxBpcDigits(line)), regexGroup(maxBpc, line, kMaxBpcAssignment.size())) << line;
    ASSERT_EQ(asString(matchQuotedText(line)), regexGroup(quoted, line, 0)) << line;
    ASSERT_EQ(asString(matchMetadataEdidDigits(line)), regexGroup(edid, line, 0)) << line;
  }
}

struct HexRunCase {
  const char* name;
  std::string piece;
  bool evenOnly;
  std::string appended;  // empty: the piece is refused
};

class AppendHexRun : public testing::TestWithParam<HexRunCase> {};

TEST_P(AppendHexRun, KeepsOnlyHexDigitsBetweenWhiteSpace) {
  std::string hex = "00";
  EXPECT_EQ(appendHexRun(GetParam().piece, hex, GetParam().evenOnly), !GetParam().appended.empty());
  EXPECT_EQ(hex, "00" + GetParam().appended);
}

INSTANTIATE_TEST_SUITE_P(Pieces, AppendHexRun,
                         testing::Values(HexRunCase{"Plain", "00ffAB", false, "00ffAB"},
                                         HexRunCase{"InnerSpacesRemoved", " \t 00 ff ab \u00A0", false, "00ffab"},
                                         HexRunCase{"InnerTabRefused", "00\tff", false, ""},
                                         HexRunCase{"OtherLetterRefused", "00fg", false, ""},
                                         HexRunCase{"BlankRefused", " \t\u3000", false, ""},
                                         HexRunCase{"OddAllowedInBrackets", "abc", false, "abc"},
                                         HexRunCase{"OddRefusedOnPlainLine", "abc", true, ""},
                                         HexRunCase{"EvenAfterSpacesRemoved", "ab c d", true, "abcd"}),
                         [](const auto& info) { return info.param.name; });

struct BracketedCase {
  const char* name;
  std::string held;  // digits collected before this text
  std::string text;
  std::string after;
  bool closed;
};

class AppendBracketedHex : public testing::TestWithParam<BracketedCase> {};

TEST_P(AppendBracketedHex, StopsAtTheGreaterThanThatEndsTheValue) {
  std::string hex = GetParam().held;
  EXPECT_EQ(appendBracketedHex(GetParam().text, hex), GetParam().closed);
  EXPECT_EQ(hex, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AppendBracketedHex,
    testing::Values(BracketedCase{"LaterValuesOnTheLineLeftOut", "", " <00ff> <1234>", "00ff", true},
                    BracketedCase{"EmptyOrRefusedValuesDoNotEnd", "", "<> <zz> < 0 1 > <ab>", "01", true},
                    BracketedCase{"HeldDigitsEndAtFirstGreaterThan", "00ff", "   > <1234>", "00ff", true},
                    BracketedCase{"DigitsBeforeGreaterThanJoin", "00ff", "  12 34> 56", "00ff1234", true},
                    BracketedCase{"UnclosedValueGoesOn", "00ff", " 1234 <5678", "00ff12345678", false}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lumaro::ioreg
