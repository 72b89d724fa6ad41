#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace lumaro {

// Where a display described by its report descriptor keeps its brightness:
// a field of one feature report, in the display's own units.
struct BrightnessControl {
  std::uint8_t reportID = 0;
  std::uint32_t bitOffset = 0;  // from the first data byte, after the report ID
  std::uint32_t bitSize = 0;    // 1 to 32
  std::int64_t minimum = 0;     // logical range, minimum < maximum
  std::int64_t maximum = 0;
  std::size_t reportLength = 0;  // bytes, the report ID included

  bool operator==(const BrightnessControl&) const = default;

  // The value of the field in `report` (report ID first), signed when the
  // range is; absent when the report is too short to hold it.
  std::optional<std::int64_t> valueIn(std::span<const std::uint8_t> report) const;
  // Writes `value` into the field of `report`, leaving every other bit alone.
  void store(std::span<std::uint8_t> report, std::int64_t value) const;

  // The model's 0.0-1.0 for a device value in range, and back: the nearest
  // device value, clamped; NaN gives the minimum.
  float fraction(std::int64_t value) const;
  std::int64_t deviceValue(float level) const;
};

}  // namespace lumaro
