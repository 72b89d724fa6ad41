#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/prefixing_line_sink.hpp"
#include "display_control/display_description.hpp"
#include "display_control/records/records.hpp"
#include "edid/display_edid.hpp"
#include "ports/child_process.hpp"
#include "ports/display_services.hpp"
#include "ports/hid.hpp"
#include "ports/line_sink.hpp"

namespace lumaro {

using WallClock = std::function<std::chrono::system_clock::time_point()>;

// Everything the controller reaches the machine through.
struct ControllerPorts {
  std::unique_ptr<hid::Manager> hidManager;                    // created once, owned
  std::shared_ptr<displays::DisplayServices> displayServices;  // online displays + registry
  std::shared_ptr<process::ProcessLauncher> processLauncher;   // runs the registry dump tool
  WallClock clock;                                             // for the registry-dump cache
  std::shared_ptr<LineSink> sink;                              // diagnostic lines
};

// Talks to the hardware and the system registries: HID discovery and
// brightness reports (main thread only), EDID harvesting and lookup
// (background threads only).
class RarudoRuroravOduradadur {
 public:
  static constexpr std::int64_t appleVendorID = 1452;         // 0x05AC, USB vendor
  static constexpr std::int64_t appleDisplayVendorID = 1552;  // 0x0610, display vendor
  static constexpr std::uint8_t brightnessReportID = 0x10;
  // Report 0x10 as a descriptor describes it: one byte 0-255 after the ID.
  static constexpr BrightnessControl kFixedBrightnessControl{
      .reportID = 0x10, .bitOffset = 0, .bitSize = 8, .minimum = 0, .maximum = 255, .reportLength = 2};
  // The feature report the Cinema Displays answer with their EDID.
  static constexpr std::uint8_t cinemaEDIDReportID = 0x02;
  static constexpr double edidCacheDuration = 10.0;  // seconds
  static constexpr std::uint32_t maxOnlineDisplays = 16;
  static constexpr const char* ioregPath = "/usr/sbin/ioreg";
  // Starts the controller's own diagnostic lines and those of the parsers it runs.
  static constexpr std::string_view diagnosticPrefix = "RarudoRuroravOduradadur: ";

  // USB product IDs accepted by discovery.
  static const std::set<std::int64_t>& supportedProductIDs();

  explicit RarudoRuroravOduradadur(ControllerPorts ports);
  ~RarudoRuroravOduradadur();
  RarudoRuroravOduradadur(const RarudoRuroravOduradadur&) = delete;
  RarudoRuroravOduradadur& operator=(const RarudoRuroravOduradadur&) = delete;

  // --- HID discovery and brightness (main thread) ---
  std::vector<AppleDisplay> detectDisplays();
  std::optional<std::int64_t> readIntProperty(const hid::Device& device, std::string_view key) const;
  // A brightness read: the value, or why there is none (the code of the call
  // that failed; kIOReturnUnderrun for an answer without a data byte).
  struct BrightnessRead {
    std::optional<float> value;
    hid::IOReturn failure = hid::kIOReturnSuccess;
  };
  BrightnessRead readBrightness(const AppleDisplay& display);
  std::optional<float> getBrightness(const AppleDisplay& display) { return readBrightness(display).value; }
  // A brightness write: 0 when the display took it, else the code of the call that failed.
  hid::IOReturn writeBrightness(const AppleDisplay& display, float value);
  bool setBrightness(const AppleDisplay& display, float value) {
    return writeBrightness(display, value) == hid::kIOReturnSuccess;
  }
  int setBrightnessForAll(float value);

  // Model value to wire byte: trunc(min(v, 1) * 255) in single precision, 0 for
  // v <= 0 and for NaN.
  static std::uint8_t brightnessByte(float value);

  // --- EDID harvesting and lookup (background threads) ---
  std::vector<DisplayEDID> getEDIDDataViaIoreg();
  std::vector<DisplayEDID> parseIoregOutput(std::string_view text);

  std::optional<DisplayEDIDDetails> fetchEDIDDetails(std::int64_t vendorID, std::int64_t productID,
                                                     const std::optional<std::string>& serialNumber) {
    return fetchEDIDDetails(vendorID, productID, serialNumber, std::nullopt);
  }
  // With the EDID the display sent over USB at discovery, that EDID is the
  // display's: twins of one model are told apart by it.
  std::optional<DisplayEDIDDetails> fetchEDIDDetails(std::int64_t vendorID, std::int64_t productID,
                                                     const std::optional<std::string>& serialNumber,
                                                     const std::optional<std::vector<std::uint8_t>>& usbEDID);
  std::optional<DisplayEDIDDetails> fetchEDIDViaCoreGraphics(std::int64_t vendorID, std::int64_t productID);
  // First qualifying display service whose product ID equals `productID`.
  std::unique_ptr<displays::RegistryService> findAppleDisplayService(std::int64_t productID);
  std::optional<std::vector<std::uint8_t>> readDisplayEDID(const displays::RegistryService& service);
  static std::optional<std::int64_t> registryInteger(const std::optional<displays::RegistryValue>& value);

 private:
  // The display behind `device`, identity and reports only; absent when it is none.
  std::optional<AppleDisplay> describedDisplay(hid::Device& device);
  // The EDID the display answers over USB: from its EDID Information report,
  // or for a Cinema Display from report 2. Silent, since most have none.
  std::optional<std::vector<std::uint8_t>> readUsbEDID(hid::Device& device, const std::optional<EDIDReport>& report,
                                                       bool cinema);
  // The details of the display that sent `usbEDID`: from the display service
  // whose EDID starts with the same base block (it may hold more blocks),
  // otherwise from `usbEDID` itself. Absent when `usbEDID` is no EDID.
  std::optional<DisplayEDIDDetails> fetchEDIDViaUsb(const std::vector<std::uint8_t>& usbEDID);
  // Brightness through a control the display's descriptor describes.
  BrightnessRead readControl(const AppleDisplay& display, const BrightnessControl& control);
  hid::IOReturn writeControl(const AppleDisplay& display, const BrightnessControl& control, float value);
  // Gets the control's whole report into `report`, checked for length, ID
  // and range; prints the failure and returns its code otherwise.
  hid::IOReturn getControlReport(hid::Device& device, const BrightnessControl& control,
                                 std::vector<std::uint8_t>& report, std::int64_t& value);

  // Sends `report` (its ID first), says how it went with the brightness
  // `value` it carries, and closes the device.
  hid::IOReturn sendAndClose(hid::Device& device, std::span<const std::uint8_t> report, std::int64_t value);

  // In the controller's voice, and without it (the brightness lines carry no prefix).
  void say(std::string_view line);
  void sayUnprefixed(std::string_view line) const;

  ControllerPorts ports_;
  PrefixingLineSink voice_;

  // The registry-dump cache; the whole harvest runs under harvestMutex_ so
  // concurrent lookups share one tool run.
  std::mutex harvestMutex_;
  std::optional<std::vector<DisplayEDID>> cachedEDIDs_;
  std::optional<std::chrono::system_clock::time_point> edidCacheTime_;
};

}  // namespace lumaro
