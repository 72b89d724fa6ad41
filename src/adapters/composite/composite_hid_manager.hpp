#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ports/hid.hpp"

namespace lumaro::hid {

// Several HID managers seen as one: the devices of each, in the order the
// managers were given. One USB device can be reached along two paths (a
// hidraw node and the kernel's backlight device), so a device whose vendor,
// product and USB location (or, without a location, serial number) equal
// those of a device listed before it is left out: the first path wins.
class CompositeHidManager final : public Manager {
 public:
  explicit CompositeHidManager(std::vector<std::unique_ptr<Manager>> managers);

  void setDeviceMatching(const DeviceMatching& matching) override;
  // Success when any manager opened.
  IOReturn open() override;
  std::optional<std::vector<std::shared_ptr<Device>>> copyDevices() override;
  void close() override;

 private:
  std::vector<std::unique_ptr<Manager>> managers_;
};

}  // namespace lumaro::hid
