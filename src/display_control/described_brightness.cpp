// Brightness through a control the display's report descriptor describes:
// its own report, field and units.

#include <algorithm>
#include <utility>

#include "diagnostics/format.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"

namespace lumaro {

hid::IOReturn RarudoRuroravOduradadur::getControlReport(hid::Device& device, const BrightnessControl& control,
                                                        std::vector<std::uint8_t>& report, std::int64_t& value) {
  report.assign(control.reportLength, 0);
  report[0] = control.reportID;
  std::int64_t length = static_cast<std::int64_t>(report.size());
  const hid::IOReturn status = device.getFeatureReport(control.reportID, report, length);
  if (status != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to get report: " + diag::code(status) + ", reportLength: " + std::to_string(length));
    return status;
  }
  if (length < 1) {
    sayUnprefixed("Invalid report length: " + std::to_string(length));
    return hid::kIOReturnUnderrun;
  }
  if (length < static_cast<std::int64_t>(control.reportLength)) {
    sayUnprefixed("Failed to get report: " + diag::code(hid::kIOReturnUnderrun) +
                  ", reportLength: " + std::to_string(length));
    return hid::kIOReturnUnderrun;
  }
  if (report[0] != control.reportID) {
    sayUnprefixed("Unexpected report ID: " + std::to_string(report[0]) + " (asked for " +
                  std::to_string(control.reportID) + ")");
    return hid::kIOReturnError;
  }
  // valueIn() is present here: the whole report arrived.
  value = control.valueIn(report).value_or(control.minimum - 1);
  if (value < control.minimum || value > control.maximum) {
    sayUnprefixed("Brightness value out of range: " + std::to_string(value) + " (" + std::to_string(control.minimum) +
                  " to " + std::to_string(control.maximum) + ")");
    return hid::kIOReturnError;
  }
  return hid::kIOReturnSuccess;
}

RarudoRuroravOduradadur::BrightnessRead RarudoRuroravOduradadur::readControl(const AppleDisplay& display,
                                                                             const BrightnessControl& control) {
  hid::Device* device = display.device.get();
  const hid::IOReturn openStatus = device ? device->open() : hid::kIOReturnNoDevice;
  if (openStatus != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to open device for reading: " + diag::code(openStatus));
    return {.value = std::nullopt, .failure = openStatus};
  }
  std::vector<std::uint8_t> report;
  std::int64_t value = 0;
  const hid::IOReturn status = getControlReport(*device, control, report, value);
  device->close();
  if (status != hid::kIOReturnSuccess) return {.value = std::nullopt, .failure = status};
  sayUnprefixed("Read brightness value: " + std::to_string(value));
  return {.value = control.fraction(value)};
}

// Read, modify, write: the report may hold other controls, which must keep
// the values the display has now.
hid::IOReturn RarudoRuroravOduradadur::writeControl(const AppleDisplay& display, const BrightnessControl& control,
                                                    float value) {
  hid::Device* device = display.device.get();
  const hid::IOReturn openStatus = device ? device->open() : hid::kIOReturnNoDevice;
  if (openStatus != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to open device for writing: " + diag::code(openStatus));
    return openStatus;
  }
  std::vector<std::uint8_t> report;
  std::int64_t current = 0;
  if (const hid::IOReturn status = getControlReport(*device, control, report, current);
      status != hid::kIOReturnSuccess) {
    device->close();
    return status;
  }

  const std::int64_t wanted = control.deviceValue(value);
  control.store(report, wanted);
  sayUnprefixed("Setting brightness value: " + std::to_string(wanted));
  return sendAndClose(*device, report, wanted);
}

}  // namespace lumaro
