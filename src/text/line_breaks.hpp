#pragma once

#include <cstddef>
#include <string_view>

// Fast byte-level scans over UTF-8 text for the newline characters U+000A–U+000D,
// U+0085 (C2 85), U+2028 (E2 80 A8) and U+2029 (E2 80 A9). Large registry dumps
// are mostly ASCII, so these look at 16 bytes at a time and only decode around
// the rare lead bytes C2 and E2. On ill-formed input they still agree with each
// other: a break is exactly one of the byte sequences above.
namespace lumaro::text {

struct LineBreak {
  std::size_t offset;  // where the break starts; text.size() when there is none
  std::size_t length;  // 1 to 3 bytes; 0 when there is none
};

// The first line break at or after `from`.
LineBreak findLineBreak(std::string_view text, std::size_t from);

// Number of line breaks in `text`.
std::size_t countLineBreaks(std::string_view text);

// Start of the line that holds byte `offset` (the byte after the previous break).
std::size_t lineStartAt(std::string_view text, std::size_t offset);

// Offset of the first byte at or after `from` that is not ASCII; text.size() when none.
std::size_t findNonAscii(std::string_view text, std::size_t from);

// Number of CR LF pairs in `text`.
std::size_t countCrLf(std::string_view text);

}  // namespace lumaro::text
