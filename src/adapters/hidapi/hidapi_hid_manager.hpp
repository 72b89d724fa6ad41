#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "ports/hid.hpp"

namespace lumaro::hid {

// The HID manager on hidapi's hidraw backend. The library is initialised for
// as long as any manager lives. Devices are found by enumeration at every
// copyDevices() call and carry the properties "VendorID", "ProductID",
// "Transport", "SerialNumber" and "Product" (absent when empty) and
// "LocationID" (from sysfs, see hidraw_location.hpp), and the report
// descriptor sysfs holds for the node (hidraw_descriptor.hpp); a node listed
// more than once (one entry per top-level collection) is one device. A device's open()
// opens its hidraw node and close() closes it again; codes follow
// hidraw_errors.hpp. open() fails with kIOReturnNoDevice when the node no
// longer belongs to the device found there (hidraw_identity.hpp), as an
// IOKit handle to an unplugged device does.
class HidapiHidManager final : public Manager {
 public:
  // `sysfsRoot` is where the USB topology behind each node is looked up.
  explicit HidapiHidManager(std::filesystem::path sysfsRoot = "/sys");
  ~HidapiHidManager() override;
  HidapiHidManager(const HidapiHidManager&) = delete;
  HidapiHidManager& operator=(const HidapiHidManager&) = delete;

  // False when the library could not be initialised; open() then fails.
  bool initialised() const { return initialised_; }

  void setDeviceMatching(const DeviceMatching& matching) override;
  IOReturn open() override;
  std::optional<std::vector<std::shared_ptr<Device>>> copyDevices() override;
  void close() override;

 private:
  std::filesystem::path sysfsRoot_;
  bool initialised_ = false;
  std::optional<DeviceMatching> matching_;
};

}  // namespace lumaro::hid
