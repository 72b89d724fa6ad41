#include "edid/ioreg_patterns.hpp"

#include <charconv>
#include <limits>

#include "text/substring_search.hpp"
#include "text/unicode_text.hpp"

namespace lumaro::ioreg {

std::size_t findLiteral(std::string_view text, std::string_view pattern, std::size_t from) {
  return text::findSubstring(text, pattern, from);
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

namespace {

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::string_view> matchMaxBpcDigits(std::string_view line) {
  // Every occurrence of the literal is a candidate start; the first one that is
  // followed by a digit is the leftmost match, and [0-9]+ takes every digit after it.
  for (std::size_t at = line.find(kMaxBpcAssignment); at != std::string_view::npos;
       at = line.find(kMaxBpcAssignment, at + 1)) {
    const std::size_t digits = at + kMaxBpcAssignment.size();
    std::size_t end = digits;
    while (end < line.size() && isDecimalDigit(line[end])) ++end;
    if (end > digits) return line.substr(digits, end - digits);
  }
  return std::nullopt;
}

std::optional<std::string_view> matchQuotedText(std::string_view text) {
  // A match starts at a quote whose next quote is not adjacent; "" is skipped by
  // trying its second quote as the start.
  std::size_t open = text.find('"');
  while (open != std::string_view::npos) {
    const std::size_t close = text.find('"', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    if (close > open + 1) return text.substr(open + 1, close - open - 1);
    open = close;
  }
  return std::nullopt;
}

std::optional<std::string_view> matchMetadataEdidDigits(std::string_view line) {
  for (std::size_t at = line.find(kMetadataEdid); at != std::string_view::npos; at = line.find(kMetadataEdid, at + 1)) {
    const std::size_t digits = at + kMetadataEdid.size();
    std::size_t end = digits;
    while (end < line.size() && isHexDigit(line[end])) ++end;
    if (end > digits && end < line.size() && line[end] == '>') return line.substr(digits, end - digits);
  }
  return std::nullopt;
}

std::optional<std::int64_t> parseDecimal(std::string_view digits) {
  std::int64_t value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return std::nullopt;
  return value;
}

bool appendHexRun(std::string_view piece, std::string& hex, bool evenOnly) {
  // Trimming first and then skipping inner spaces keeps the same characters as
  // removing the spaces first and then trimming.
  const std::string_view core = text::trimmedView(piece);
  if (core.empty()) return false;
  const std::size_t before = hex.size();
  for (const char c : core) {
    if (c == ' ') continue;
    if (!isHexDigit(c)) {
      hex.resize(before);
      return false;
    }
    hex.push_back(c);
  }
  if (evenOnly && (hex.size() - before) % 2 != 0) {
    hex.resize(before);
    return false;
  }
  return true;
}

bool appendBracketedHex(std::string_view text, std::string& hex) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("<>", start);
    if (end == std::string_view::npos) end = text.size();
    appendHexRun(text.substr(start, end - start), hex, false);
    if (end < text.size() && text[end] == '>' && !hex.empty()) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace lumaro::ioreg
