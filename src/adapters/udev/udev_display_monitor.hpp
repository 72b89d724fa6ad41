#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "ports/device_events.hpp"

struct udev;
struct udev_device;
struct udev_monitor;

namespace lumaro::devices {

// Supported displays coming and going, from the kernel's uevents through a
// libudev monitor on the "hidraw" and "backlight" subsystems.
//
// An added hidraw node counts when the USB device above it is one that
// `isSupported` accepts, or when its report descriptor describes a
// brightness control (any vendor); an added backlight device counts when it is the
// display driver's ("appledisplay*"), which the kernel only binds to these
// displays. A removal counts when it takes away a node that counted: by then
// sysfs may no longer say what the node was, so the monitor remembers the
// nodes it has seen (listed at construction, then added).
class UdevDisplayMonitor final : public PollableDeviceEvents {
 public:
  using SupportedDisplay = std::function<bool(std::int64_t vendorID, std::int64_t productID)>;

  // fd() is -1 when udev or the monitor is unavailable; it then never reports.
  explicit UdevDisplayMonitor(SupportedDisplay isSupported);
  ~UdevDisplayMonitor() override;
  UdevDisplayMonitor(const UdevDisplayMonitor&) = delete;
  UdevDisplayMonitor& operator=(const UdevDisplayMonitor&) = delete;

  int fd() const override;
  bool readPending() override;

 private:
  struct UdevFree {
    void operator()(udev* context) const;
  };
  struct MonitorFree {
    void operator()(udev_monitor* monitor) const;
  };

  bool isDisplayNode(udev_device* device) const;
  void listPresentNodes();

  SupportedDisplay isSupported_;
  std::unique_ptr<udev, UdevFree> udev_;
  std::unique_ptr<udev_monitor, MonitorFree> monitor_;
  std::set<std::string> knownNodes_;  // syspaths of display nodes present now
};

}  // namespace lumaro::devices
