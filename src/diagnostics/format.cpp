#include "diagnostics/format.hpp"

#include <array>
#include <charconv>
#include <cstdio>

namespace lumaro::diag {

std::string code(std::int32_t returnCode) { return std::to_string(returnCode); }

std::string hex4(std::int64_t value) {
  std::array<char, 24> buffer{};
  const auto bits = static_cast<std::uint64_t>(value);
  const auto shown = value < 0 ? (bits & 0xFFFFFFFFu) : bits;
  std::snprintf(buffer.data(), buffer.size(), "%04llX", static_cast<unsigned long long>(shown));
  return buffer.data();
}

std::string boolean(bool value) { return value ? "true" : "false"; }

std::string floatValue(float value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  std::string text(buffer.data(), result.ptr);
  // Whole numbers read as floats ("1.0", not "1"), as the rest of the output expects.
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

std::string optionalFloat(std::optional<float> value) { return value ? floatValue(*value) : std::string("nil"); }

}  // namespace lumaro::diag
