#include "text/unicode_text.hpp"

#include <gtest/gtest.h>
#include <unicode/ustring.h>

#include <random>
#include <string>
#include <vector>

#include "text/line_breaks.hpp"
#include "text/substring_search.hpp"

namespace lumaro::text {
namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// --- Lines ---------------------------------------------------------------

// A line ends at each of seven characters: LF, VT, FF, CR (so CR LF is two
// breaks), NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR. The block scanners
// must agree with that plain reading wherever a break falls relative to their
// 16-byte blocks, and must not take the characters that share a newline's lead
// bytes (U+0084, U+2027, U+202A, truncated sequences) for one.
TEST(LineBreakScans, AgreeWithCharacterByCharacterSplitOnRandomText) {
  const std::vector<std::string> pieces = {"a",      "bc",     " ",      "\n",       "\r",     "\r\n",   "\v",
                                           "\f",     "\u0085", "\u2028", "\u2029",   "\u00E9", "\u20AC", "\u00C2",
                                           "\u0084", "\u2027", "\u202A", "\xE2\x80", "\xC2"};
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];

    std::vector<std::size_t> starts{0};
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < text.size();) {
      const std::string_view rest = std::string_view(text).substr(i);
      std::size_t length = 0;
      if (rest[0] >= '\n' && rest[0] <= '\r')
        length = 1;
      else if (rest.starts_with("\u0085"))
        length = 2;
      else if (rest.starts_with("\u2028") || rest.starts_with("\u2029"))
        length = 3;
      if (length > 0) ends.push_back(i);
      i += length > 0 ? length : 1;
      if (length > 0) starts.push_back(i);
    }
    ends.push_back(text.size());
    ASSERT_EQ(countLineBreaks(text), starts.size() - 1) << text;
    const auto lines = splitLines(text);
    ASSERT_EQ(lines.size(), starts.size()) << text;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      const auto offset = static_cast<std::size_t>(lines[k].data() - text.data());
      ASSERT_EQ(offset, starts[k]) << text;
      ASSERT_EQ(offset + lines[k].size(), ends[k]) << text;
      for (std::size_t inside = offset; inside < offset + lines[k].size(); ++inside) {
        ASSERT_EQ(lineStartAt(text, inside), offset) << text;
      }
    }
  }
}

// The block search must find what a plain search finds, including matches
// that end on the last byte and patterns whose anchor bytes repeat.
TEST(SubstringSearch, AgreesWithPlainSearchOnRandomText) {
  const std::vector<std::string> patterns = {"\"EDID\"", "EDID\"", "\"DisplayProductName\"", "\"\"", "DD",
                                             "\"D\"x",   "\u00E9"};
  const std::string alphabet = "\"EDIDx ";
  std::mt19937 random(9);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 80);
    for (int i = 0; i < count; ++i) {
      text += random() % 8 == 0 ? patterns[random() % patterns.size()]
                                : std::string(1, alphabet[random() % alphabet.size()]);
    }
    for (const auto& pattern : patterns) {
      const std::size_t from = text.empty() ? 0 : random() % (text.size() + 2);
      ASSERT_EQ(findSubstring(text, pattern, from), from > text.size() ? std::string::npos : text.find(pattern, from))
          << text << " / " << pattern << " from " << from;
    }
  }
}

// --- White space, trim, clean ------------------------------------------------

TEST(CharacterClasses, WhiteSpaceIsTabAndSpaceSeparators) {
  for (const char32_t c : {U' ', U'\t', U'\u00A0', U'\u2003', U'\u3000', U'\u202F'}) {
    EXPECT_TRUE(isWhiteSpace(c)) << static_cast<unsigned>(c);
    EXPECT_TRUE(isBlank(c)) << static_cast<unsigned>(c);
  }
  // Newlines are blank but not white space; ZERO WIDTH SPACE is a format character.
  for (const char32_t c : {U'\n', U'\r', U'\v', U'\f', U'\u0085', U'\u2028', U'\u2029'}) {
    EXPECT_FALSE(isWhiteSpace(c)) << static_cast<unsigned>(c);
    EXPECT_TRUE(isBlank(c)) << static_cast<unsigned>(c);
  }
  for (const char32_t c : {U'a', U'\u200B', U'\u0000', U'\u001F', U'\uFEFF'}) {
    EXPECT_FALSE(isBlank(c)) << static_cast<unsigned>(c);
  }
  EXPECT_TRUE(isBlankText(""));
  EXPECT_TRUE(isBlankText(" \t\u3000\r\n\u2029"));
  EXPECT_FALSE(isBlankText(" \u200B "));
}

struct TrimCase {
  const char* name;
  std::string text;
  std::string trimmed;
  std::string cleaned;
};

class TrimAndClean : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimAndClean, RemoveTheRightCharacters) {
  const auto& c = GetParam();
  EXPECT_EQ(trim(c.text), c.trimmed);
  EXPECT_EQ(clean(c.text), c.cleaned);
}

INSTANTIATE_TEST_SUITE_P(
    Text, TrimAndClean,
    testing::Values(TrimCase{"Plain", "Cinema HD", "Cinema HD", "Cinema HD"},
                    TrimCase{"AllWhiteSpace", " \t\u00A0 ", "", ""},
                    // Trim keeps newlines; clean drops them as control characters anywhere.
                    TrimCase{"NewlinesAtEnds", "\n Cinema \n", "\n Cinema \n", "Cinema"},
                    TrimCase{"WrappedName", "Cinema H\nD", "Cinema H\nD", "Cinema HD"},
                    TrimCase{"UnicodeSpaces", "\u3000LED Cinema\u2003", "LED Cinema", "LED Cinema"},
                    // Tab is both white space and a control character; soft hyphen and ZWSP are format characters.
                    TrimCase{"ControlAndFormat", "\001Ci\u00ADne\tma\u200B ", "\001Ci\u00ADne\tma\u200B", "Cinema"},
                    TrimCase{"FormatCharacterShieldsSpace", "\u200B Cinema", "\u200B Cinema", "Cinema"},
                    TrimCase{"NonAsciiKept", " Écran \u2014 4K ", "Écran \u2014 4K", "Écran \u2014 4K"}),
    [](const auto& info) { return info.param.name; });

// --- UTF-8 decoding ------------------------------------------------------------

#define R "\uFFFD"
// The Unicode Standard's own example (section 3.9, U+FFFD substitution); the
// comparison with ICU below covers the other shapes, well-formed ones included.
TEST(Utf8Decoding, ReplacesEachMaximalIllFormedSubpart) {
  const std::string bytes = "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64";
  EXPECT_FALSE(isValidUtf8(bytesOf(bytes)));
  EXPECT_EQ(decodeUtf8Lossy(bytesOf(bytes)), "a" R R R "b" R "c" R R "d");
}
#undef R

// ICU's own converter implements the same practice; both must agree on any bytes.
TEST(Utf8Decoding, AgreesWithIcuConverterOnRandomBytes) {
  std::mt19937 random(11);
  const std::string interesting =
      "\x80\xBF\xC0\xC2\xDF\xE0\xE1\xED\xEF\xF0\xF4\xF5\xFF"
      "a";
  for (int round = 0; round < 5000; ++round) {
    std::string bytes;
    const int count = static_cast<int>(random() % 24);
    for (int i = 0; i < count; ++i) {
      bytes.push_back(random() % 2 != 0 ? interesting[random() % interesting.size()]
                                        : static_cast<char>(0x80 + random() % 0x40));
    }
    std::vector<UChar> utf16(bytes.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
    ASSERT_TRUE(U_SUCCESS(status));
    std::string expected(bytes.size() * 3 + 1, '\0');
    int32_t expectedLength = 0;
    u_strToUTF8(expected.data(), static_cast<int32_t>(expected.size()), &expectedLength, utf16.data(), length, &status);
    ASSERT_TRUE(U_SUCCESS(status));
    expected.resize(static_cast<std::size_t>(expectedLength));
    ASSERT_EQ(decodeUtf8Lossy(bytesOf(bytes)), expected);
    // Only well-formed bytes come back unchanged.
    ASSERT_EQ(isValidUtf8(bytesOf(bytes)), expected == bytes);
  }
}

// --- Grapheme clusters ----------------------------------------------------------

// Flags, emoji sequences and the rest are left to the comparison below.
TEST(GraphemeCount, CountsUserPerceivedCharacters) {
  EXPECT_EQ(graphemeCount(""), 0u);
  EXPECT_EQ(graphemeCount("a\r\nb\r\n"), 4u) << "CR LF is one";
  EXPECT_EQ(graphemeCount("Cafe\u0301"), 4u) << "a combining mark joins the ASCII letter before it";
  EXPECT_EQ(graphemeCount("x\u06001y"), 3u) << "a prepended mark (U+0600) joins the ASCII digit after it";
}

// The ASCII fast path and the windows around non-ASCII runs must give the
// break iterator's count over the whole text, wherever the runs fall.
TEST(GraphemeCount, MatchesWholeTextBreakIteratorOnRandomText) {
  const std::vector<std::string> pieces = {
      "a",      "\r",           "\n",     "\r\n",   " ",          "\u0301",     "\u0600",
      "\u200D", "\u00E9",       "\u1100", "\u1161", "\U0001F1E9", "\U0001F468", std::string(70, 'x'),
      "\uFE0F", "\u0915\u094D", "\u041D", "\u4E2D", "\u0085",     "\u200B",     "\uFFFD",
      "\u00A9"};
  std::mt19937 random(3);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 30);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    ASSERT_EQ(graphemeCount(text), graphemeBoundaries(text).size() - 1) << text;
  }
}

}  // namespace
}  // namespace lumaro::text
