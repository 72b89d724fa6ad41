#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display_control/records/brightness_control.hpp"
#include "display_control/records/uuid.hpp"
#include "ports/hid.hpp"

namespace lumaro {

// Eight display strings decoded from an EDID, ready to show. Strings compare
// by canonical equivalence.
struct DisplayEDIDDetails {
  std::string manufacturer;
  std::string productID;
  std::string serialNumber;
  std::string manufactureDate;
  std::string dimensions;
  std::string colorDepth;
  std::string connectionType;
  std::string hdcpSupport;

  bool operator==(const DisplayEDIDDetails& other) const;
};

// One HID display found by discovery. Copies share the one device.
struct AppleDisplay {
  Uuid id;
  std::int64_t vendorID = 0;
  std::int64_t productID = 0;
  std::optional<std::string> serialNumber;
  std::optional<std::int64_t> locationID;
  std::optional<std::string> name;
  std::shared_ptr<hid::Device> device;
  std::optional<DisplayEDIDDetails> edidDetails;
  // Absent: the fixed Cinema Display report 0x10, one byte 0-255.
  std::optional<BrightnessControl> brightnessControl;
  // The EDID the display sent over its own USB interface at discovery.
  std::optional<std::vector<std::uint8_t>> usbEDID;
};

// Why a row's display cannot be controlled: no permission on the device, the
// device gone, or any other failure of a read.
enum class BrightnessFailure { kNotPrivileged, kNoDevice, kError };

// The kind of failure an IOKit-style code stands for.
BrightnessFailure brightnessFailureFor(hid::IOReturn code);

// One published row of the display list.
struct DisplayItem {
  Uuid id;
  std::string name;
  std::int64_t vendorID = 0;
  std::int64_t productID = 0;
  std::optional<std::string> serialNumber;
  std::optional<std::int64_t> locationID;
  std::optional<DisplayEDIDDetails> details;  // mutable: loaded on demand
  float brightness = 0.0f;                    // mutable: 0.0 to 1.0
  // Present when the brightness could not be read (`brightness` is then a
  // stand-in, not the display's) or a write met a failure that will last.
  std::optional<BrightnessFailure> brightnessFailure;

  bool operator==(const DisplayItem& other) const;

  // The row for `display`; `brightness` must already be clamped to 0.0–1.0.
  static DisplayItem from(const AppleDisplay& display, float brightness);
};

// What names a display across refreshes, replugging and restarts: its serial
// number, else vendor, product and USB location ("05ac:9221@14200000").
std::string stableDisplayID(const std::optional<std::string>& serialNumber, std::int64_t vendorID,
                            std::int64_t productID, const std::optional<std::int64_t>& locationID);
inline std::string stableDisplayID(const AppleDisplay& display) {
  return stableDisplayID(display.serialNumber, display.vendorID, display.productID, display.locationID);
}
inline std::string stableDisplayID(const DisplayItem& item) {
  return stableDisplayID(item.serialNumber, item.vendorID, item.productID, item.locationID);
}

inline constexpr const char* kUnknownDisplayName = "Unknown Display";

}  // namespace lumaro
