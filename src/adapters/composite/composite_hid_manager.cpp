#include "adapters/composite/composite_hid_manager.hpp"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace lumaro::hid {

namespace {

// What makes two devices the same USB device. Absent when the device does not
// say enough to tell; such a device is always kept.
using Identity = std::tuple<std::int64_t, std::int64_t, std::string>;

std::optional<std::int64_t> integer(const Device& device, std::string_view key) {
  const auto value = device.property(key);
  const auto* number = value ? std::get_if<std::int64_t>(&*value) : nullptr;
  return number ? std::optional(*number) : std::nullopt;
}

std::optional<Identity> identity(const Device& device) {
  const auto vendor = integer(device, "VendorID");
  const auto product = integer(device, "ProductID");
  if (!vendor || !product) return std::nullopt;
  if (const auto location = integer(device, "LocationID")) {
    return Identity{*vendor, *product, "location " + std::to_string(*location)};
  }
  const auto serial = device.property("SerialNumber");
  if (const auto* text = serial ? std::get_if<std::string>(&*serial) : nullptr) {
    return Identity{*vendor, *product, "serial " + *text};
  }
  return std::nullopt;
}

}  // namespace

CompositeHidManager::CompositeHidManager(std::vector<std::unique_ptr<Manager>> managers)
    : managers_(std::move(managers)) {
  std::erase(managers_, nullptr);
}

void CompositeHidManager::setDeviceMatching(const DeviceMatching& matching) {
  for (auto& manager : managers_) manager->setDeviceMatching(matching);
}

IOReturn CompositeHidManager::open() {
  std::optional<IOReturn> failure;
  bool anyOpen = false;
  for (auto& manager : managers_) {
    const IOReturn status = manager->open();
    if (status == kIOReturnSuccess) {
      anyOpen = true;
    } else if (!failure) {
      failure = status;
    }
  }
  if (anyOpen) return kIOReturnSuccess;
  return failure.value_or(kIOReturnUnsupported);
}

std::optional<std::vector<std::shared_ptr<Device>>> CompositeHidManager::copyDevices() {
  std::vector<std::shared_ptr<Device>> devices;
  std::set<Identity> seen;
  for (auto& manager : managers_) {
    auto found = manager->copyDevices();
    if (!found) continue;
    for (auto& device : *found) {
      if (!device) continue;
      if (const auto id = identity(*device); id && !seen.insert(*id).second) continue;
      devices.push_back(std::move(device));
    }
  }
  if (devices.empty()) return std::nullopt;
  return devices;
}

void CompositeHidManager::close() {
  for (auto& manager : managers_) manager->close();
}

}  // namespace lumaro::hid
