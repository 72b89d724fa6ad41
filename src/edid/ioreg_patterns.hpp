#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The pieces of registry-dump syntax the parser recognises. The three regular
// expressions are hand-written matchers that find the same first (leftmost)
// match on one line; they are tested against the expressions themselves.
namespace lumaro::ioreg {

inline constexpr std::string_view kDisplayHints = "\"DisplayHints\"";
inline constexpr std::string_view kMaxBpc = "\"MaxBpc\"";
inline constexpr std::string_view kMaxBpcAssignment = "\"MaxBpc\"=";
inline constexpr std::string_view kHintsProductName = "\"ProductName\"=\"";
inline constexpr std::string_view kMetadata = "\"Metadata\"";
inline constexpr std::string_view kMetadataEdid = "\"EDID\"=<";
inline constexpr std::string_view kMetadataProductName = "\"ProductName\"=";
inline constexpr std::string_view kConnectionDescription = "\"DFP Type Description\"=\"";
inline constexpr std::string_view kDisplayProductName = "\"DisplayProductName\"";
inline constexpr std::string_view kLocaleEnUs = "\"en_US\"";
inline constexpr std::string_view kLocaleEn = "\"en\"";
inline constexpr std::string_view kIODisplayEdidKey = "\"IODisplayEDID\"";
inline constexpr std::string_view kEdidKey = "\"EDID\"";

inline bool contains(std::string_view text, std::string_view pattern) {
  return text.find(pattern) != std::string_view::npos;
}
inline bool contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

// First occurrence of `pattern` in text[from, end), or npos. For whole-text
// searches where most lines hold no pattern at all.
std::size_t findLiteral(std::string_view text, std::string_view pattern, std::size_t from);

// `"MaxBpc"=[0-9]+`: the digits of the first match. Absent when nothing matches.
std::optional<std::string_view> matchMaxBpcDigits(std::string_view line);

// `"([^"]+)"`: the text between the quotes of the first match.
std::optional<std::string_view> matchQuotedText(std::string_view text);

// `"EDID"=<([0-9a-fA-F]+)>`: the digits of the first match.
std::optional<std::string_view> matchMetadataEdidDigits(std::string_view line);

// Decimal digits as a signed 64-bit value; absent on overflow or when empty.
std::optional<std::int64_t> parseDecimal(std::string_view digits);

bool isHexDigit(char c);

// Appends `piece` to `hex` when, with its spaces removed and then trimmed, it
// is non-empty and made of hexadecimal digits only (and of an even number of
// them when `evenOnly`). Returns whether it did.
bool appendHexRun(std::string_view piece, std::string& hex, bool evenOnly);

// Cuts `text` at every "<" and ">" and appends each piece that passes
// appendHexRun, up to the first ">" met once `hex` holds digits: that ">" ends
// the value, and what follows it belongs to something else. Returns whether
// such a ">" was met.
bool appendBracketedHex(std::string_view text, std::string& hex);

}  // namespace lumaro::ioreg
