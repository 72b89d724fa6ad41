#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumaro::hid {

// Which device a hidraw node ("/dev/hidraw3") belongs to right now, read from
// the same sysfs entries hidapi's enumeration reads: the hid parent's uevent
// (HID_ID for vendor and product, HID_UNIQ for the serial number) and the USB
// ancestor's location (see hidraw_location.hpp). The kernel hands a freed
// node number to the next device, so a path alone says nothing about which
// device answers it.
struct NodeIdentity {
  std::int64_t vendorID = 0;
  std::int64_t productID = 0;
  std::optional<std::string> serialNumber;  // absent when HID_UNIQ is empty
  std::optional<std::int64_t> locationID;

  bool operator==(const NodeIdentity&) const = default;
};

// Absent when the node has no hid parent with a readable HID_ID (gone, or not
// a hidraw node).
std::optional<NodeIdentity> nodeIdentity(const std::filesystem::path& sysfsRoot, std::string_view devicePath);

// Whether `now` is the device that discovery saw as `then`: vendor and
// product must match, and so must the serial number when discovery had one,
// otherwise the location when discovery had one.
bool sameDevice(const NodeIdentity& then, const NodeIdentity& now);

}  // namespace lumaro::hid
