#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Text rules shared by the registry-dump harvest and its parser. All texts are UTF-8.
namespace lumaro::text {

// Splits at every newline character (U+000A–U+000D, U+0085, U+2028, U+2029).
// Each one ends a line, so CR LF leaves an empty line between them and the text
// after the last newline is a line too. The views point into `text`.
std::vector<std::string_view> splitLines(std::string_view text);

// Tab or a Unicode space separator (Zs).
bool isWhiteSpace(char32_t c);
// White space or one of the newline characters above.
bool isBlank(char32_t c);
// True when every character of `text` is blank (an empty text is blank).
bool isBlankText(std::string_view text);

// Removes white space (not newlines) at both ends.
std::string trim(std::string_view text);
// The same, as a view into `text`.
std::string_view trimmedView(std::string_view text);
// Removes every Cc and Cf character anywhere, then trims.
std::string clean(std::string_view text);

// Strict UTF-8 check.
bool isValidUtf8(std::span<const std::uint8_t> bytes);
// UTF-8 text of `bytes`: unchanged when valid, otherwise with one U+FFFD per
// maximal ill-formed subpart.
std::string decodeUtf8Lossy(std::span<const std::uint8_t> bytes);

// Number of user-perceived characters (extended grapheme clusters); equal to
// the byte count for ASCII text without CR LF pairs (each pair is one).
std::size_t graphemeCount(std::string_view text);

// Offsets at which the user-perceived characters of `text` start, followed by
// text.size(); {0} for an empty text. For the rare texts that must be walked
// character by character.
std::vector<std::size_t> graphemeBoundaries(std::string_view text);

}  // namespace lumaro::text
