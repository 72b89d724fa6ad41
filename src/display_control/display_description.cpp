#include "display_control/display_description.hpp"

#include "display_control/report_descriptor.hpp"

namespace lumaro {

namespace {

constexpr std::uint32_t kMaxBrightnessBits = 32;

// A control that can hold every value of its range, and more than one.
std::optional<BrightnessControl> usable(const hid::FeatureControl& control) {
  const std::uint32_t bits = control.bitSize;
  if (bits == 0 || bits > kMaxBrightnessBits || control.logicalMinimum >= control.logicalMaximum) return std::nullopt;
  const bool fits = control.logicalMinimum >= 0
                        ? control.logicalMaximum < (std::int64_t{1} << bits)
                        : bits > 1 && control.logicalMinimum >= -(std::int64_t{1} << (bits - 1)) &&
                              control.logicalMaximum < (std::int64_t{1} << (bits - 1));
  if (!fits) return std::nullopt;
  return BrightnessControl{.reportID = control.reportID,
                           .bitOffset = control.bitOffset,
                           .bitSize = bits,
                           .minimum = control.logicalMinimum,
                           .maximum = control.logicalMaximum,
                           .reportLength = control.reportLength};
}

}  // namespace

DisplayDescription describeDisplay(std::span<const std::uint8_t> reportDescriptor) {
  const hid::ReportDescriptor parsed = hid::parseReportDescriptor(reportDescriptor);
  if (parsed.refusal) return {.brightness = std::nullopt, .edid = std::nullopt, .refusal = parsed.refusal};

  DisplayDescription description;
  if (const auto brightness = hid::monitorControl(parsed, hid::kBrightnessUsage)) {
    description.brightness = usable(*brightness);
  }
  if (const auto edid = hid::monitorControl(parsed, hid::kEDIDInformationUsage)) {
    description.edid = EDIDReport{.reportID = edid->reportID, .reportLength = edid->reportLength};
  }
  return description;
}

}  // namespace lumaro
