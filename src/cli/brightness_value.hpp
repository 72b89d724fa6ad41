#pragma once

#include <optional>
#include <string_view>

namespace lumaro::cli {

// A brightness as the command line takes it: "70%" or a fraction "0.7" sets
// it; "+10%" and "-5%" move it from the percentage shown.
struct BrightnessValue {
  enum class Kind {
    fraction,  // a brightness value, taken as it is (0.0 to 1.0)
    percent,   // a shown percentage (0 to 100)
    relative,  // percentage points from the shown percentage (-100 to 100)
  };
  Kind kind = Kind::fraction;
  double amount = 0.0;

  // The brightness to write to a display at `current`: a percentage becomes
  // the lowest level that shows it, and a relative change stops at 0 % and 100 %.
  float applyTo(float current) const;

  bool operator==(const BrightnessValue&) const = default;
};

// Absent when `text` is malformed or outside 0-100 %.
std::optional<BrightnessValue> parseBrightnessValue(std::string_view text);

}  // namespace lumaro::cli
