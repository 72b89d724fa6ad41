#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "ports/hid.hpp"
#include "ports/session_brightness.hpp"

namespace lumaro::hid {

// Displays driven by the kernel's own display driver, which offers them as
// backlight devices (<sysfsRoot>/class/backlight/appledisplay<N>) instead of
// hidraw nodes. Each is presented as a HID device, so the controller talks
// to it with the same brightness report as to any other display:
//
//  - properties "VendorID", "ProductID", "Transport" ("USB"), "SerialNumber",
//    "Product" and "LocationID" come from the USB device behind it;
//  - reading report 0x10 gives [0x10, byte], the byte being
//    actual_brightness scaled from 0..max_brightness to 0..255;
//  - writing [0x10, byte] scales it back and asks the login session to set
//    it; when the session refuses or is absent, the sysfs "brightness" file
//    is written if the process may; otherwise the write fails with
//    kIOReturnNotPrivileged.
//
// Most kernels register the backlight with no parent, so sysfs does not say
// which USB device it belongs to. The USB devices the driver is bound to
// (<sysfsRoot>/bus/usb/drivers/appledisplay) are then paired with the
// backlights in the order both were created (the driver numbers its
// backlights as it binds, the USB core numbers devices as they arrive); when
// the counts differ, the unmatched backlights are left out rather than
// guessed at.
class BacklightHidManager final : public Manager {
 public:
  BacklightHidManager(std::filesystem::path sysfsRoot, std::shared_ptr<SessionBrightness> session);

  void setDeviceMatching(const DeviceMatching& matching) override { matching_ = matching; }
  IOReturn open() override { return kIOReturnSuccess; }
  std::optional<std::vector<std::shared_ptr<Device>>> copyDevices() override;
  void close() override {}

 private:
  std::filesystem::path sysfsRoot_;
  std::shared_ptr<SessionBrightness> session_;
  std::optional<DeviceMatching> matching_;
};

}  // namespace lumaro::hid
