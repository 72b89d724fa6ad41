#include "adapters/hidapi/hidapi_hid_manager.hpp"

#include <hidapi/hidapi.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "adapters/hidapi/hidraw_descriptor.hpp"
#include "adapters/hidapi/hidraw_errors.hpp"
#include "adapters/hidapi/hidraw_identity.hpp"
#include "adapters/hidapi/hidraw_location.hpp"

namespace lumaro::hid {

namespace {

// hid_init/hid_exit act on process-wide library state, so they are counted:
// the first manager initialises, the last one to go shuts the library down.
std::mutex libraryMutex;
int libraryUsers = 0;

bool acquireLibrary() {
  std::lock_guard lock(libraryMutex);
  if (libraryUsers == 0 && hid_init() != 0) return false;
  ++libraryUsers;
  return true;
}

void releaseLibrary() {
  std::lock_guard lock(libraryMutex);
  if (--libraryUsers == 0) hid_exit();
}

// hidapi's strings are wchar_t (UTF-32 here); everything past the adapter is
// UTF-8. Empty strings are what hidapi gives for a missing descriptor string,
// so they mean absent.
std::optional<std::string> utf8(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return std::nullopt;
  static_assert(sizeof(wchar_t) == sizeof(UChar32), "hidraw strings are UTF-32");
  const std::wstring_view wide(text);
  std::vector<UChar32> codePoints(wide.begin(), wide.end());
  const auto size = static_cast<std::int32_t>(std::min<std::size_t>(codePoints.size(), INT32_MAX));
  std::string out;
  icu::UnicodeString::fromUTF32(codePoints.data(), size).toUTF8String(out);
  return out;
}

std::optional<std::string> transportName(hid_bus_type bus) {
  switch (bus) {
    case HID_API_BUS_USB:
      return "USB";
    case HID_API_BUS_BLUETOOTH:
      return "Bluetooth";
    case HID_API_BUS_I2C:
      return "I2C";
    case HID_API_BUS_SPI:
      return "SPI";
    case HID_API_BUS_UNKNOWN:
      break;
  }
  return std::nullopt;
}

using Properties = std::map<std::string, Property, std::less<>>;

// One hidraw node, and the device discovery found behind it. Opens nest: the
// node is opened by the first open() and closed by the matching last close().
class HidapiDevice final : public Device {
 public:
  HidapiDevice(std::string path, Properties properties, NodeIdentity identity, std::filesystem::path sysfsRoot,
               std::optional<std::vector<std::uint8_t>> descriptor)
      : path_(std::move(path)),
        properties_(std::move(properties)),
        identity_(std::move(identity)),
        sysfsRoot_(std::move(sysfsRoot)),
        descriptor_(std::move(descriptor)) {}

  ~HidapiDevice() override {
    if (handle_ != nullptr) hid_close(handle_);
  }

  HidapiDevice(const HidapiDevice&) = delete;
  HidapiDevice& operator=(const HidapiDevice&) = delete;

  std::optional<Property> property(std::string_view key) const override {
    const auto found = properties_.find(key);
    if (found == properties_.end()) return std::nullopt;
    return found->second;
  }

  std::optional<std::vector<std::uint8_t>> reportDescriptor() const override { return descriptor_; }

  IOReturn open() override {
    std::lock_guard lock(mutex_);
    if (handle_ == nullptr) {
      errno = 0;
      handle_ = hid_open_path(path_.c_str());
      const int savedErrno = errno;
      if (handle_ == nullptr) return openFailureCode(path_, savedErrno);
      // After an unplug the node number goes to the next device that comes
      // along; a report must never reach that one.
      const auto now = nodeIdentity(sysfsRoot_, path_);
      if (!now || !sameDevice(identity_, *now)) {
        hid_close(std::exchange(handle_, nullptr));
        return kIOReturnNoDevice;
      }
    }
    ++openDepth_;
    return kIOReturnSuccess;
  }

  IOReturn getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer, std::int64_t& length) override {
    std::lock_guard lock(mutex_);
    if (handle_ == nullptr) return kIOReturnNotOpen;
    const auto capacity = std::min<std::int64_t>(length, static_cast<std::int64_t>(buffer.size()));
    if (capacity < 1) return kIOReturnBadArgument;

    // hidapi frames the report like our callers do: report ID in byte 0 on the
    // way in, and the count it returns includes that byte.
    buffer[0] = reportID;
    errno = 0;
    const int received = hid_get_feature_report(handle_, buffer.data(), static_cast<std::size_t>(capacity));
    const int savedErrno = errno;
    if (received < 0) return reportFailureCode(path_, savedErrno);
    length = received;
    return kIOReturnSuccess;
  }

  IOReturn setFeatureReport(std::uint8_t reportID, std::span<const std::uint8_t> buffer) override {
    std::lock_guard lock(mutex_);
    if (handle_ == nullptr) return kIOReturnNotOpen;
    if (buffer.empty() || buffer[0] != reportID) return kIOReturnBadArgument;
    errno = 0;
    const int sent = hid_send_feature_report(handle_, buffer.data(), buffer.size());
    const int savedErrno = errno;
    if (sent < 0) return reportFailureCode(path_, savedErrno);
    return kIOReturnSuccess;
  }

  void close() override {
    std::lock_guard lock(mutex_);
    if (openDepth_ == 0) return;
    if (--openDepth_ == 0) {
      hid_close(handle_);
      handle_ = nullptr;
    }
  }

 private:
  const std::string path_;
  const Properties properties_;
  const NodeIdentity identity_;
  const std::filesystem::path sysfsRoot_;
  const std::optional<std::vector<std::uint8_t>> descriptor_;  // read once, at discovery
  std::mutex mutex_;
  hid_device* handle_ = nullptr;
  int openDepth_ = 0;
};

struct EnumerationFree {
  void operator()(hid_device_info* list) const { hid_free_enumeration(list); }
};

}  // namespace

HidapiHidManager::HidapiHidManager(std::filesystem::path sysfsRoot)
    : sysfsRoot_(std::move(sysfsRoot)), initialised_(acquireLibrary()) {}

HidapiHidManager::~HidapiHidManager() {
  if (initialised_) releaseLibrary();
}

void HidapiHidManager::setDeviceMatching(const DeviceMatching& matching) { matching_ = matching; }

// hidraw has no manager to open: success means the library is usable.
IOReturn HidapiHidManager::open() { return initialised_ ? kIOReturnSuccess : kIOReturnError; }

std::optional<std::vector<std::shared_ptr<Device>>> HidapiHidManager::copyDevices() {
  if (!initialised_) return std::nullopt;

  // hidapi filters on a 16-bit vendor ID, 0 meaning any.
  unsigned short vendorFilter = 0;
  if (matching_ && matching_->vendorID) {
    const std::int64_t vendor = *matching_->vendorID;
    if (vendor < 1 || vendor > std::numeric_limits<unsigned short>::max()) return std::nullopt;
    vendorFilter = static_cast<unsigned short>(vendor);
  }

  const std::unique_ptr<hid_device_info, EnumerationFree> list(hid_enumerate(vendorFilter, 0));
  std::vector<std::shared_ptr<Device>> devices;
  // hidraw lists a node once per top-level collection; one node is one device.
  std::set<std::string, std::less<>> seenPaths;
  for (const hid_device_info* info = list.get(); info != nullptr; info = info->next) {
    if (info->path == nullptr || !seenPaths.emplace(info->path).second) continue;
    const auto transport = transportName(info->bus_type);
    if (matching_ && transport != matching_->transport) continue;

    Properties properties{
        {"VendorID", Property{std::int64_t{info->vendor_id}}},
        {"ProductID", Property{std::int64_t{info->product_id}}},
    };
    NodeIdentity identity{.vendorID = info->vendor_id,
                          .productID = info->product_id,
                          .serialNumber = utf8(info->serial_number),
                          .locationID = std::nullopt};
    if (info->bus_type == HID_API_BUS_USB) identity.locationID = usbLocationID(sysfsRoot_, info->path);

    if (transport) properties.emplace("Transport", Property{*transport});
    if (identity.serialNumber) properties.emplace("SerialNumber", Property{*identity.serialNumber});
    if (auto product = utf8(info->product_string)) properties.emplace("Product", Property{std::move(*product)});
    if (identity.locationID) properties.emplace("LocationID", Property{*identity.locationID});
    devices.push_back(std::make_shared<HidapiDevice>(info->path, std::move(properties), std::move(identity), sysfsRoot_,
                                                     hidrawReportDescriptor(sysfsRoot_, info->path)));
  }
  if (devices.empty()) return std::nullopt;
  return devices;
}

void HidapiHidManager::close() {}

}  // namespace lumaro::hid
