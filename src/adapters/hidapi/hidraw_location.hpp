#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace lumaro::hid {

// The location ID of the USB device behind a hidraw node ("/dev/hidraw3"),
// packed the way the IOKit registry packs it so that the same physical port
// gives the same number on every platform: the bus number in the top byte,
// then one nibble per port on the path from the root hub, first hop highest
// (bus 20, root port 1, hub port 2 gives 0x14120000).
//
// Linux exposes the pieces in sysfs: <sysfsRoot>/class/hidraw/<node> resolves
// into the device tree below the HID interface, and the first ancestor
// holding "busnum" and "devpath" is the USB device itself; "devpath" lists its
// ports as "1.2" ("0" for a root hub).
//
// Absent when the node is not a hidraw node, sysfs has no USB ancestor for it
// (Bluetooth, I2C, no sysfs), or the topology does not fit the packing: a bus
// number outside 1..255, a port above 15 or more than six levels.
std::optional<std::int64_t> usbLocationID(const std::filesystem::path& sysfsRoot, std::string_view devicePath);

// The packing alone: `ports` as written in sysfs "devpath".
std::optional<std::int64_t> packLocationID(std::int64_t busNumber, std::string_view ports);

}  // namespace lumaro::hid
