#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The kernel's side of USB HID devices, emulated with umockdev: a sysfs tree
// (controller, USB device, interface, hid device, hidraw node), /dev/hidrawN
// nodes and their ioctls, and uevents. The real libudev and hidapi run
// unmodified against it. Only works in a process started under
// umockdev-wrapper (lumaro_umockdev_test registers suites that way).
//
// The ioctl handlers run on umockdev's worker thread, so code under test may
// block in an ioctl on the calling thread.
typedef struct _UMockdevTestbed UMockdevTestbed;

namespace lumaro::testing {

// A USB HID device as it appears in sysfs.
struct UsbHidIdentity {
  std::uint16_t vendorID = 0;
  std::uint16_t productID = 0;
  std::string serial = "";  // empty: the device has no serial number
  std::string manufacturer;
  std::string product;
  int busnum = 1;
  std::string devpath = "1";  // ports from the root hub, "1.4" is port 4 of the hub on port 1
  int hidraw = 0;             // the node is /dev/hidraw<hidraw>
  std::vector<std::uint8_t> reportDescriptor = {};
  // Feature reports the device holds at the start (report ID first), beside
  // the Cinema Display's report 0x10.
  std::vector<std::vector<std::uint8_t>> featureReports = {};
};

// A Cinema Display: vendor 0x05AC, a report descriptor with the brightness
// feature report 0x10 in two top-level collections (so hidapi lists the
// node twice, as it does for every device with several collections).
// Its report 2 holds `edid` when given.
UsbHidIdentity cinemaDisplay(std::uint16_t productID, std::string serial, int hidraw, int busnum, std::string devpath,
                             const std::vector<std::uint8_t>& edid = {});
// A plain USB keyboard by another vendor, with a boot keyboard's descriptor.
UsbHidIdentity keyboard(int hidraw, int busnum, std::string devpath);

// The device side of one hidraw node. Feature report 0x10 reads and writes a
// brightness byte, the identity's feature reports are read and written
// whole; every other feature report is answered with EINVAL.
// All members are safe to call from the test's thread.
class EmulatedHidraw {
  // Runs `f` under the lock that guards the device's state.
  template <typename F>
  auto locked(F f) const {
    std::lock_guard lock(mutex_);
    return f();
  }

 public:
  static constexpr std::uint8_t kBrightnessReportID = 0x10;

  explicit EmulatedHidraw(UsbHidIdentity identity);

  const UsbHidIdentity& identity() const { return identity_; }
  std::string node() const { return "/dev/hidraw" + std::to_string(identity_.hidraw); }

  std::uint8_t brightness() const {
    return locked([&] { return reports_.at(kBrightnessReportID)[1]; });
  }
  void setBrightness(std::uint8_t byte) {
    locked([&] { reports_[kBrightnessReportID][1] = byte; });
  }
  // The feature report `reportID` as the device holds it now.
  std::vector<std::uint8_t> report(std::uint8_t reportID) const {
    return locked([&] { return reports_.at(reportID); });
  }
  void setReport(std::vector<std::uint8_t> report) {
    locked([&] { reports_[report.at(0)] = std::move(report); });
  }
  // Every ioctl the node received: an open issues some, so 0 means never opened.
  int ioctls() const {
    return locked([&] { return ioctls_; });
  }

  // Every set-feature report received, as sent (report ID first).
  std::vector<std::vector<std::uint8_t>> receivedReports() const {
    return locked([&] { return received_; });
  }
  // Every get-feature request, as the buffer arrived (report ID first).
  std::vector<std::vector<std::uint8_t>> getRequests() const {
    return locked([&] { return getRequests_; });
  }
  // File handles on the node this process holds open right now.
  int openHandles() const;

  // The next feature-report ioctl fails with `error`.
  void failNextReport(int error) {
    locked([&] { failNext_ = error; });
  }
  // The next get-feature answer holds only its first `bytes` bytes.
  void answerNextGetShort(std::size_t bytes) {
    locked([&] { shortNext_ = bytes; });
  }
  // The next get-feature answer starts with `reportID` instead of the one asked for.
  void answerNextWithReportID(std::uint8_t reportID) {
    locked([&] { otherIDNext_ = reportID; });
  }

  // Called on umockdev's worker thread: the ioctl's result and errno.
  std::pair<long, int> handleIoctl(void* client);
  void setBacking(std::filesystem::path backing) { backing_ = std::move(backing); }
  // From now on every ioctl fails with ENODEV.
  void vanish() {
    locked([&] { vanished_ = true; });
  }

 private:
  const UsbHidIdentity identity_;
  mutable std::mutex mutex_;
  std::map<std::uint8_t, std::vector<std::uint8_t>> reports_;  // by report ID
  int ioctls_ = 0;
  std::vector<std::vector<std::uint8_t>> received_;
  std::vector<std::vector<std::uint8_t>> getRequests_;
  std::filesystem::path backing_;  // what umockdev opens in place of the node
  std::optional<int> failNext_;
  std::optional<std::size_t> shortNext_;
  std::optional<std::uint8_t> otherIDNext_;
  bool vanished_ = false;
};

class UmockdevBed {
 public:
  UmockdevBed();
  ~UmockdevBed();
  UmockdevBed(const UmockdevBed&) = delete;
  UmockdevBed& operator=(const UmockdevBed&) = delete;

  // True in a process started under umockdev-wrapper.
  static bool active();

  // Plugs a device in: its sysfs tree, its node and its ioctl handler, each
  // announced with an "add" uevent (umockdev sends them). The returned
  // reference lives as long as the bed.
  EmulatedHidraw& add(const UsbHidIdentity& identity);
  // Unplugs it: "remove" uevents, then sysfs entries and node go, and handles
  // still open on it fail every ioctl with ENODEV. Its hidraw number is free
  // for the next device.
  void remove(EmulatedHidraw& device);
  // Sends one more uevent ("add", "remove", "change") for the device's hidraw node.
  void uevent(const EmulatedHidraw& device, const char* action);

  // Takes every permission off the node, as it is before a udev rule grants
  // the user access. Root passes anyway: pair it with UnprivilegedScope.
  void denyAccess(const EmulatedHidraw& device);

  // Where the bed keeps the node's file: its mode is what open(2) checks.
  std::string nodeFile(const EmulatedHidraw& device) const;

 private:
  struct Plugged;
  void record(const std::string& text);
  std::string usbDevice(int busnum, const std::string& devpath, const UsbHidIdentity* identity);

  UMockdevTestbed* testbed_ = nullptr;
  std::map<std::string, std::string> usbDevices_;  // "bus-devpath" -> syspath
  std::vector<std::unique_ptr<Plugged>> plugged_;
  std::map<int, std::filesystem::path> nodeBacking_;  // hidraw number -> umockdev's node target
  int hidSequence_ = 0;
};

// Drops the effective user ID to an unprivileged one for its lifetime, so a
// root test process meets file modes the way a desktop user does.
class UnprivilegedScope {
 public:
  UnprivilegedScope();
  ~UnprivilegedScope();
  UnprivilegedScope(const UnprivilegedScope&) = delete;
  UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

 private:
  std::optional<uid_t> restore_;
};

}  // namespace lumaro::testing
