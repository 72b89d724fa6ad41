#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/hid.hpp"

// In-memory HID hardware for tests and the demo: a manager that hands out a
// fixed list of devices and a display that answers the brightness feature
// report the way the real hardware does. Every fault the code above has to
// survive can be switched on. All members are safe to call from any thread.
namespace lumaro::hid {

// A USB display's backlight controller. Feature report 0x10 reads and writes
// one brightness byte, framed as [0x10, byte]. Reports are only accepted
// between open() and close(), so a caller that skips the open is caught
// (kIOReturnNotOpen).
class SimulatedCinemaDisplay final : public Device {
 public:
  static constexpr std::uint8_t kBrightnessReportID = 0x10;
  static constexpr std::uint8_t kEDIDReportID = 0x02;
  static constexpr std::int64_t kAppleVendorID = 1452;

  // What a freshly made display reports. Absent fields give absent properties.
  struct Identity {
    std::int64_t productID = 0x9226;
    std::optional<std::string> name = "Cinema HD Display";
    std::optional<std::string> serialNumber = "CY0000000001";
    std::optional<std::int64_t> locationID = 0x14100000;
    std::uint8_t brightness = 128;
  };

  // How the display answers a read of the brightness report.
  enum class Reply {
    kReportIDAndByte,  // [0x10, byte], length 2: what the hardware does
    kByteOnly,         // [byte], length 1
    kEmpty,            // nothing, length 0, success
  };

  // A display with "VendorID" 1452, "Transport" "USB" and the identity's
  // "ProductID", "Product", "SerialNumber" and "LocationID".
  static std::shared_ptr<SimulatedCinemaDisplay> make(const Identity& identity);
  static std::shared_ptr<SimulatedCinemaDisplay> make(std::int64_t productID, std::optional<std::string> name,
                                                      std::optional<std::string> serialNumber);

  // A device with exactly these properties and this brightness byte.
  SimulatedCinemaDisplay(std::map<std::string, Property, std::less<>> properties, std::uint8_t brightness);

  // --- hid::Device ---
  std::optional<Property> property(std::string_view key) const override;
  std::optional<std::vector<std::uint8_t>> reportDescriptor() const override;
  IOReturn open() override;
  IOReturn getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer, std::int64_t& length) override;
  IOReturn setFeatureReport(std::uint8_t reportID, std::span<const std::uint8_t> buffer) override;
  void close() override;

  // --- configuration ---
  // Any property value, including numbers that do not fit 32 bits and OtherType.
  void setProperty(std::string key, Property value);
  void removeProperty(std::string_view key);
  void setBrightnessByte(std::uint8_t byte);
  // Feature report 2 answers [2, edid...], as a Cinema Display's does.
  void answerEDID(std::vector<std::uint8_t> edid);
  // reportDescriptor() returns `descriptor` instead of nothing.
  void setReportDescriptor(std::vector<std::uint8_t> descriptor);
  // open() returns `code`; kIOReturnSuccess restores normal opens.
  void failOpen(IOReturn code);
  // getFeatureReport() returns `code`; the length is left as passed in, or set
  // to `lengthLeft` when given (some drivers report a partial transfer).
  void failGetReport(IOReturn code, std::optional<std::int64_t> lengthLeft = std::nullopt);
  // setFeatureReport() returns `code` and keeps the brightness (a rejected write).
  void failSetReport(IOReturn code);
  void setReply(Reply reply);
  // Pulled from the port: open() and reports fail with kIOReturnNoDevice until replug().
  void unplug();
  void replug();

  // --- observation ---
  std::uint8_t brightnessByte() const;
  int openCount() const;   // successful opens
  int closeCount() const;  // every close() call
  bool isOpen() const;     // more successful opens than closes
  int readCount() const;   // get-report calls that reached an open device
  // Every buffer accepted by setFeatureReport, report ID first, in order.
  std::vector<std::vector<std::uint8_t>> reportsWritten() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Property, std::less<>> properties_;
  std::uint8_t brightness_;
  Reply reply_ = Reply::kReportIDAndByte;
  std::optional<std::vector<std::uint8_t>> edid_;
  std::optional<std::vector<std::uint8_t>> descriptor_;
  IOReturn openFailure_ = kIOReturnSuccess;
  IOReturn getFailure_ = kIOReturnSuccess;
  std::optional<std::int64_t> getFailureLength_;
  IOReturn setFailure_ = kIOReturnSuccess;
  bool unplugged_ = false;
  int openDepth_ = 0;
  int opens_ = 0;
  int closes_ = 0;
  int reads_ = 0;
  std::vector<std::vector<std::uint8_t>> written_;
};

// A HID manager over a list of devices. By default copyDevices() returns the
// list as given (absent when empty, like a manager with no match), without
// looking at the criteria, so a caller's own vendor and product checks can be
// exercised; applyMatching(true) filters on "Transport" and "VendorID".
class SimulatedHidManager final : public Manager {
 public:
  explicit SimulatedHidManager(std::vector<std::shared_ptr<Device>> devices = {});

  // --- hid::Manager ---
  void setDeviceMatching(const DeviceMatching& matching) override;
  IOReturn open() override;
  std::optional<std::vector<std::shared_ptr<Device>>> copyDevices() override;
  void close() override;

  // --- configuration ---
  void setDevices(std::vector<std::shared_ptr<Device>> devices);
  void addDevice(std::shared_ptr<Device> device);
  // open() returns `code`; kIOReturnSuccess restores it.
  void failOpen(IOReturn code);
  // copyDevices() returns absent even when devices are attached.
  void withholdDeviceSet(bool withhold);
  void applyMatching(bool apply);

  // --- observation ---
  // Every criteria installed, oldest first.
  std::vector<DeviceMatching> matchingHistory() const;
  int openCount() const;   // every open() call, failed ones included
  int closeCount() const;  // every close() call
  bool isOpen() const;     // last successful open() not followed by close()

 private:
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Device>> devices_;
  std::vector<DeviceMatching> matchings_;
  IOReturn openFailure_ = kIOReturnSuccess;
  bool withhold_ = false;
  bool applyMatching_ = false;
  bool open_ = false;
  int opens_ = 0;
  int closes_ = 0;
};

// The controller owns its HID manager outright; this hands it a handle on a
// simulated bus that the demo or a test keeps driving (plugging displays in
// and out) after the controller was built. `onDestroy` runs when the
// controller lets go, so a test can see which thread that happens on.
class SharedSimulatedHidManager final : public Manager {
 public:
  explicit SharedSimulatedHidManager(std::shared_ptr<SimulatedHidManager> target, std::function<void()> onDestroy = {});
  ~SharedSimulatedHidManager() override;

  void setDeviceMatching(const DeviceMatching& matching) override { target_->setDeviceMatching(matching); }
  IOReturn open() override { return target_->open(); }
  std::optional<std::vector<std::shared_ptr<Device>>> copyDevices() override { return target_->copyDevices(); }
  void close() override { target_->close(); }

 private:
  std::shared_ptr<SimulatedHidManager> target_;
  std::function<void()> onDestroy_;
};

}  // namespace lumaro::hid
