#include "text/decimal_integer.hpp"

#include <algorithm>
#include <charconv>

namespace lumaro::text {

std::optional<std::int64_t> parseSignedDecimal(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  // from_chars reads a leading "-" itself but not "+".
  const std::string_view number = text.front() == '+' ? digits : text;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc{} || end != number.data() + number.size()) return std::nullopt;  // out of range
  return value;
}

}  // namespace lumaro::text
