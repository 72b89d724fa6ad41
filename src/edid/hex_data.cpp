#include <string>

#include "edid/ioreg_diagnostics.hpp"
#include "edid/ioreg_parser.hpp"
#include "edid/ioreg_patterns.hpp"
#include "text/unicode_text.hpp"

namespace lumaro {
namespace {

std::uint8_t hexValue(char c) {
  if (c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  return static_cast<std::uint8_t>(c - 'a' + 10);
}

// The first piece of two characters (user-perceived, so a digit followed by a
// combining mark is one character and no digit) that is not two hex digits.
std::string firstUnreadablePiece(std::string_view digits) {
  const auto boundaries = text::graphemeBoundaries(digits);
  const auto isDigitCharacter = [&](std::size_t k) {
    return boundaries[k + 1] - boundaries[k] == 1 && ioreg::isHexDigit(digits[boundaries[k]]);
  };
  const std::size_t characters = boundaries.size() - 1;
  for (std::size_t k = 0; k < characters; k += 2) {
    const std::size_t last = std::min(k + 1, characters - 1);
    if (!isDigitCharacter(k) || !isDigitCharacter(last)) {
      return std::string(digits.substr(boundaries[k], boundaries[last + 1] - boundaries[k]));
    }
  }
  return {};
}

}  // namespace

std::optional<std::vector<std::uint8_t>> hexStringToData(std::string_view hex, LineSink& sink) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2 + 1);
  bool highNibblePending = false;
  bool plainHex = true;
  for (const char c : hex) {
    if (c == ' ') continue;
    if (!ioreg::isHexDigit(c)) {
      plainHex = false;
      break;
    }
    if (highNibblePending) {
      bytes.back() = static_cast<std::uint8_t>((bytes.back() << 4) | hexValue(c));
    } else {
      bytes.push_back(hexValue(c));
    }
    highNibblePending = !highNibblePending;
  }
  if (!plainHex) {
    std::string digits;
    digits.reserve(hex.size());
    for (const char c : hex) {
      if (c != ' ') digits.push_back(c);
    }
    sink.writeLine(ioreg::diagnosticLine({"Failed to parse hex byte: ", firstUnreadablePiece(digits)}));
    return std::nullopt;
  }
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

}  // namespace lumaro
