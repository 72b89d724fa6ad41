#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "display_control/records/brightness_control.hpp"

namespace lumaro {

// The feature report that carries a display's EDID over USB.
struct EDIDReport {
  std::uint8_t reportID = 0;
  std::size_t reportLength = 0;  // bytes, the report ID included
  bool operator==(const EDIDReport&) const = default;
};

// What a display's report descriptor offers: a Monitor Control collection
// with a usable Brightness control, and an EDID Information report.
struct DisplayDescription {
  std::optional<BrightnessControl> brightness;
  std::optional<EDIDReport> edid;
  std::optional<std::string> refusal;  // why the descriptor was not read
};

DisplayDescription describeDisplay(std::span<const std::uint8_t> reportDescriptor);

}  // namespace lumaro
