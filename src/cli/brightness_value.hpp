#pragma once

#include <optional>
#include <string_view>

namespace lumaro::cli {

// A brightness as the command line takes it: "70%" or a fraction "0.7" sets
// it; "+10%" and "-5%" move it from where it is.
struct BrightnessValue {
  enum class Kind { absolute, relative };
  Kind kind = Kind::absolute;
  float amount = 0.0f;  // 0.0 to 1.0 when absolute; -1.0 to 1.0 when relative

  // The brightness to write to a display that shows `current`; a relative
  // change stops at 0.0 and 1.0.
  float applyTo(float current) const;

  bool operator==(const BrightnessValue&) const = default;
};

// Absent when `text` is malformed or outside 0-100 %.
std::optional<BrightnessValue> parseBrightnessValue(std::string_view text);

// The brightness as a whole percentage, rounded to the nearest.
int wholePercent(float brightness);

}  // namespace lumaro::cli
