#include "text/unicode_text.hpp"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>

#include "text/line_breaks.hpp"

namespace lumaro::text {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

std::uint8_t byteAt(std::string_view text, std::size_t i) { return static_cast<std::uint8_t>(text[i]); }

std::string_view asText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The code point starting at `i` in text[0, end), advancing `i` past it;
// negative for an ill-formed sequence, after which `i` is past its maximal subpart.
UChar32 nextCodePoint(std::string_view text, std::size_t& i, std::size_t end) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
  UChar32 c = 0;
  U8_NEXT(s, i, end, c);
  return c;
}

// The code point ending at `end` that starts at or after `begin`; `start` receives
// where it starts. Negative for an ill-formed sequence.
UChar32 previousCodePoint(std::string_view text, std::size_t begin, std::size_t end, std::size_t& start) {
  // The macro works on 32-bit offsets; a code point spans at most four bytes.
  const std::size_t window = std::min<std::size_t>(end - begin, 4);
  const auto* s = reinterpret_cast<const std::uint8_t*>(text.data() + (end - window));
  auto i = static_cast<std::int32_t>(window);
  UChar32 c = 0;
  U8_PREV(s, 0, i, c);
  start = end - window + static_cast<std::size_t>(i);
  return c;
}

bool isControlOrFormat(UChar32 c) {
  const auto type = u_charType(c);
  return type == U_CONTROL_CHAR || type == U_FORMAT_CHAR;
}

// Characters that join no neighbour by any grapheme rule of their own: they
// break on both sides unless a neighbour's rule says otherwise, like ASCII
// letters. Ill-formed bytes stand for U+FFFD, which is one of them.
bool isPlainCharacter(UChar32 c) {
  if (c < 0) return true;
  const auto kind = u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK);
  return (kind == U_GCB_OTHER || kind == U_GCB_CONTROL) && !u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC);
}

bool isNewlineCharacter(char32_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

std::unique_ptr<icu::BreakIterator> makeGraphemeIterator() {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> iterator(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status)) return nullptr;
  return iterator;
}

// Grapheme boundaries that `iterator` finds in text[windowBegin, windowEnd) at
// offsets from `low` to `high` inclusive.
std::size_t boundariesInWindow(icu::BreakIterator& iterator, std::string_view text, std::size_t windowBegin,
                               std::size_t windowEnd, std::size_t low, std::size_t high) {
  UErrorCode status = U_ZERO_ERROR;
  UText window = UTEXT_INITIALIZER;
  utext_openUTF8(&window, text.data() + windowBegin, static_cast<std::int64_t>(windowEnd - windowBegin), &status);
  iterator.setText(&window, status);
  std::size_t boundaries = 0;
  if (U_SUCCESS(status)) {
    for (std::int32_t p = iterator.first(); p != icu::BreakIterator::DONE; p = iterator.next()) {
      const std::size_t at = windowBegin + static_cast<std::size_t>(p);
      if (at >= low && at <= high) ++boundaries;
    }
  }
  utext_close(&window);
  return boundaries;
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (true) {
    const LineBreak lineBreak = findLineBreak(text, start);
    lines.push_back(text.substr(start, lineBreak.offset - start));
    if (lineBreak.length == 0) return lines;
    start = lineBreak.offset + lineBreak.length;
  }
}

bool isWhiteSpace(char32_t c) {
  if (c < 0x80) return c == U' ' || c == U'\t';
  return u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

bool isBlank(char32_t c) { return isWhiteSpace(c) || isNewlineCharacter(c); }

bool isBlankText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const UChar32 c = nextCodePoint(text, i, text.size());
    if (c < 0 || !isBlank(static_cast<char32_t>(c))) return false;
  }
  return true;
}

std::string_view trimmedView(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end) {
    std::size_t next = begin;
    const UChar32 c = nextCodePoint(text, next, end);
    if (c < 0 || !isWhiteSpace(static_cast<char32_t>(c))) break;
    begin = next;
  }
  while (end > begin) {
    std::size_t start = end;
    const UChar32 c = byteAt(text, end - 1) < 0x80 ? (start = end - 1, static_cast<UChar32>(byteAt(text, end - 1)))
                                                   : previousCodePoint(text, begin, end, start);
    if (c < 0 || !isWhiteSpace(static_cast<char32_t>(c))) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

std::string trim(std::string_view text) { return std::string(trimmedView(text)); }

std::string clean(std::string_view text) {
  const bool plain = std::none_of(text.begin(), text.end(), [](char ch) {
    const auto b = static_cast<std::uint8_t>(ch);
    return b < 0x20 || b >= 0x7F;
  });
  if (plain) return trim(text);

  std::string kept;
  kept.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    const UChar32 c = nextCodePoint(text, i, text.size());
    // Ill-formed bytes are not characters of any category; they stay as they are.
    if (c < 0 || !isControlOrFormat(c)) kept.append(text.substr(start, i - start));
  }
  return trim(kept);
}

bool isValidUtf8(std::span<const std::uint8_t> bytes) {
  const std::string_view text = asText(bytes);
  std::size_t i = findNonAscii(text, 0);
  while (i < text.size()) {
    if (nextCodePoint(text, i, text.size()) < 0) return false;
    i = findNonAscii(text, i);
  }
  return true;
}

std::string decodeUtf8Lossy(std::span<const std::uint8_t> bytes) {
  const std::string_view text = asText(bytes);
  std::string decoded;
  decoded.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t nonAscii = findNonAscii(text, i);
    decoded.append(text.substr(i, nonAscii - i));
    i = nonAscii;
    if (i == text.size()) break;
    const std::size_t start = i;
    // ICU's decoder consumes exactly one maximal ill-formed subpart per failure.
    if (nextCodePoint(text, i, text.size()) < 0) {
      decoded.append(kReplacementCharacter);
    } else {
      decoded.append(text.substr(start, i - start));
    }
  }
  return decoded;
}

std::size_t graphemeCount(std::string_view text) {
  // Between two ASCII characters there is always a boundary except inside CR LF,
  // and the same holds around "plain" characters, which no grapheme rule joins
  // to a neighbour on their own account. So only stretches holding other
  // characters need the break iterator. A window runs from the ASCII character
  // before such a stretch to the one after it: no grapheme rule looks past an
  // ASCII character, so boundaries inside the window are those of the whole text.
  constexpr std::size_t kMergeGap = 64;  // fewer, larger windows for scattered marks
  const std::size_t size = text.size();
  std::size_t count = size - countCrLf(text);
  std::unique_ptr<icu::BreakIterator> iterator;
  std::size_t runStart = findNonAscii(text, 0);
  while (runStart < size) {
    std::size_t runEnd = runStart;
    bool plain = true;
    std::size_t characters = 0;
    while (runEnd < size && byteAt(text, runEnd) >= 0x80) {
      plain = isPlainCharacter(nextCodePoint(text, runEnd, size)) && plain;
      ++characters;
    }
    if (plain) {
      // A multi-byte character is one character and one boundary.
      count -= (runEnd - runStart) - characters;
      runStart = findNonAscii(text, runEnd);
      continue;
    }
    while (true) {
      const std::size_t next = findNonAscii(text, runEnd);
      if (next == size || next - runEnd > kMergeGap) break;
      runEnd = next;
      while (runEnd < size && byteAt(text, runEnd) >= 0x80) ++runEnd;
    }
    if (!iterator && !(iterator = makeGraphemeIterator())) return count;
    const std::size_t windowBegin = runStart > 0 ? runStart - 1 : 0;
    const std::size_t windowEnd = runEnd < size ? runEnd + 1 : size;
    // Positions (offsets of possible boundaries) owned by this window.
    const std::size_t low = std::max<std::size_t>(runStart, 1);
    const std::size_t high = runEnd;
    const std::size_t crLfInside = countCrLf(text.substr(low - 1, high - low + 2));
    const std::size_t boundaries = boundariesInWindow(*iterator, text, windowBegin, windowEnd, low, high);
    count = count + crLfInside - (high - low + 1) + boundaries;
    runStart = findNonAscii(text, runEnd);
  }
  return count;
}

std::vector<std::size_t> graphemeBoundaries(std::string_view text) {
  std::vector<std::size_t> boundaries{0};
  const auto iterator = makeGraphemeIterator();
  UErrorCode status = U_ZERO_ERROR;
  UText whole = UTEXT_INITIALIZER;
  utext_openUTF8(&whole, text.data(), static_cast<std::int64_t>(text.size()), &status);
  if (iterator) iterator->setText(&whole, status);
  if (iterator && U_SUCCESS(status)) {
    for (std::int32_t p = iterator->next(); p != icu::BreakIterator::DONE; p = iterator->next()) {
      boundaries.push_back(static_cast<std::size_t>(p));
    }
  } else {
    // Without break data, fall back to code points.
    std::size_t i = 0;
    while (i < text.size()) {
      nextCodePoint(text, i, text.size());
      boundaries.push_back(i);
    }
  }
  utext_close(&whole);
  return boundaries;
}

}  // namespace lumaro::text
