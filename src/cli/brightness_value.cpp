#include "cli/brightness_value.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "model/brightness_percent.hpp"

namespace lumaro::cli {

namespace {

// Plain decimal digits with at most one point: no sign, exponent, spaces,
// "inf" or "nan", which from_chars alone would let through.
std::optional<double> parseDecimal(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) return std::nullopt;
  if (text.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

float BrightnessValue::applyTo(float current) const {
  switch (kind) {
    case Kind::fraction:
      return static_cast<float>(amount);
    case Kind::percent:
      return brightnessForPercent(amount);
    case Kind::relative:
      return brightnessForPercent(std::clamp(brightnessPercent(current) + amount, 0.0, 100.0));
  }
  return current;
}

std::optional<BrightnessValue> parseBrightnessValue(std::string_view text) {
  BrightnessValue value;
  double sign = 1.0;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    value.kind = BrightnessValue::Kind::relative;
    sign = text.front() == '-' ? -1.0 : 1.0;
    text.remove_prefix(1);
  }
  const bool percent = !text.empty() && text.back() == '%';
  if (percent) text.remove_suffix(1);
  // A relative change is always a percentage: "+0.1" reads too much like a fraction of what?
  if (value.kind == BrightnessValue::Kind::relative && !percent) return std::nullopt;
  if (value.kind != BrightnessValue::Kind::relative && percent) value.kind = BrightnessValue::Kind::percent;

  const auto number = parseDecimal(text);
  if (!number) return std::nullopt;
  if ((percent ? *number / 100.0 : *number) > 1.0) return std::nullopt;
  value.amount = sign * *number;
  return value;
}

}  // namespace lumaro::cli
