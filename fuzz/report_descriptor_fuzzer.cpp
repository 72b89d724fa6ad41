// The report-descriptor parser on arbitrary bytes: it refuses or describes,
// and whatever it describes lies inside a report it can frame.

#include <cstdlib>

#include "display_control/display_description.hpp"
#include "display_control/report_descriptor.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaro;
  const std::span<const std::uint8_t> bytes(data, size);
  const hid::ReportDescriptor parsed = hid::parseReportDescriptor(bytes);
  if (parsed.refusal && !parsed.features.empty()) std::abort();
  for (const hid::FeatureControl& control : parsed.features) {
    const std::size_t endBit = std::size_t{control.bitOffset} + std::size_t{control.bitSize} * control.count;
    if (control.count == 0 || 8 + endBit > 8 * control.reportLength) std::abort();
  }

  const DisplayDescription description = describeDisplay(bytes);
  if (const auto& control = description.brightness) {
    std::vector<std::uint8_t> report(control->reportLength, 0xA5);
    control->store(report, control->maximum);
    if (control->valueIn(report) != control->maximum) std::abort();
    control->store(report, control->minimum);
    if (control->valueIn(report) != control->minimum ||
        control->deviceValue(control->fraction(control->minimum)) != control->minimum) {
      std::abort();
    }
  }
  return 0;
}
