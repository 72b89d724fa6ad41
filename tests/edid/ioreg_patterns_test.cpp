#include "edid/ioreg_patterns.hpp"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

namespace lumaro::ioreg {
namespace {

using namespace std::string_literals;

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

// What a piece adds to held digits "00": the digits, or "refused" when the call
// says so (a refused piece must add nothing).
std::string addedBy(std::string_view piece, bool evenOnly) {
  std::string hex = "00";
  const bool kept = appendHexRun(piece, hex, evenOnly);
  if (!kept) return hex == "00" ? "refused" : "refused, yet added " + hex.substr(2);
  return hex.substr(2);
}

TEST(AppendHexRun, KeepsOnlyHexDigitsBetweenWhiteSpace) {
  EXPECT_EQ(addedBy("00ffAB", false), "00ffAB");
  EXPECT_EQ(addedBy(" \t 00 ff ab \u00A0", false), "00ffab") << "spaces inside and white space around are dropped";
  EXPECT_EQ(addedBy("00\tff", false), "refused") << "a tab inside";
  EXPECT_EQ(addedBy("00fg", false), "refused");
  EXPECT_EQ(addedBy(" \t\u3000", false), "refused") << "nothing but white space";
  EXPECT_EQ(addedBy("abc", false), "abc") << "odd counts are allowed between brackets";
  EXPECT_EQ(addedBy("abc", true), "refused") << "but not on a plain line";
  EXPECT_EQ(addedBy("ab c d", true), "abcd") << "the count is taken after the spaces are gone";
}

// The digits held after `text`, and whether its value was closed.
std::pair<std::string, bool> afterBracketed(std::string held, std::string_view text) {
  const bool closed = appendBracketedHex(text, held);
  return {held, closed};
}

TEST(AppendBracketedHex, StopsAtTheGreaterThanThatEndsTheValue) {
  EXPECT_EQ(afterBracketed("", " <00ff> <1234>"), std::pair("00ff"s, true)) << "later values on the line are left out";
  EXPECT_EQ(afterBracketed("", "<> <zz> < 0 1 > <ab>"), std::pair("01"s, true)) << "empty or refused values do not end";
  EXPECT_EQ(afterBracketed("00ff", "   > <1234>"), std::pair("00ff"s, true)) << "held digits end at the first >";
  EXPECT_EQ(afterBracketed("00ff", "  12 3> 56"), std::pair("00ff123"s, true)) << "odd counts are allowed here";
  EXPECT_EQ(afterBracketed("00ff", " 1234 <5678"), std::pair("00ff12345678"s, false)) << "an unclosed value goes on";
}

}  // namespace
}  // namespace lumaro::ioreg
