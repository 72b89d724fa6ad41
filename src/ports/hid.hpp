#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The HID facilities display control relies on, shaped after the IOKit HID
// manager: calls return IOKit return codes (0 = success) so diagnostics print
// the same numbers on every platform.
namespace lumaro::hid {

using IOReturn = std::int32_t;

inline constexpr IOReturn kIOReturnSuccess = 0;
inline constexpr IOReturn kIOReturnError = static_cast<IOReturn>(0xE00002BCu);
inline constexpr IOReturn kIOReturnNoDevice = static_cast<IOReturn>(0xE00002C0u);
inline constexpr IOReturn kIOReturnNotPrivileged = static_cast<IOReturn>(0xE00002C1u);
inline constexpr IOReturn kIOReturnBadArgument = static_cast<IOReturn>(0xE00002C2u);
inline constexpr IOReturn kIOReturnUnsupported = static_cast<IOReturn>(0xE00002C7u);
inline constexpr IOReturn kIOReturnNotOpen = static_cast<IOReturn>(0xE00002CDu);
inline constexpr IOReturn kIOReturnUnderrun = static_cast<IOReturn>(0xE00002E7u);

// A property value of a type that is neither a number nor a string (data, array, ...).
struct OtherType {
  bool operator==(const OtherType&) const = default;
};

// A device property as the platform reports it. Numbers are kept at full
// width so a reader can tell whether they fit 32 bits.
using Property = std::variant<OtherType, std::int64_t, std::string>;

// What a manager matches devices on.
struct DeviceMatching {
  std::string transport;                 // "USB"
  std::optional<std::int64_t> vendorID;  // absent: every vendor
  bool operator==(const DeviceMatching&) const = default;
};

class Device {
 public:
  virtual ~Device() = default;

  // Absent when the device has no such property.
  virtual std::optional<Property> property(std::string_view key) const = 0;

  // The device's HID report descriptor, known without opening it; absent
  // when the platform cannot tell.
  virtual std::optional<std::vector<std::uint8_t>> reportDescriptor() const = 0;

  // Non-exclusive open; 0 on success.
  virtual IOReturn open() = 0;

  // Feature report `reportID` into `buffer` (byte 0 is the report ID on input
  // and on output). `length` holds the buffer's capacity on entry and the
  // number of bytes delivered, report ID included, on return.
  virtual IOReturn getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer, std::int64_t& length) = 0;

  // Sends `buffer` (report ID first) as feature report `reportID`.
  virtual IOReturn setFeatureReport(std::uint8_t reportID, std::span<const std::uint8_t> buffer) = 0;

  virtual void close() = 0;
};

class Manager {
 public:
  virtual ~Manager() = default;

  // Replaces the matching criteria.
  virtual void setDeviceMatching(const DeviceMatching& matching) = 0;

  // Opens (or re-opens) the manager; 0 on success.
  virtual IOReturn open() = 0;

  // The devices that match the criteria, absent when none match.
  virtual std::optional<std::vector<std::shared_ptr<Device>>> copyDevices() = 0;

  virtual void close() = 0;
};

}  // namespace lumaro::hid
