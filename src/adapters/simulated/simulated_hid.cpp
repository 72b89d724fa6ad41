#include "adapters/simulated/simulated_hid.hpp"

#include <algorithm>
#include <utility>

namespace lumaro::hid {

// --- SimulatedCinemaDisplay ---

std::shared_ptr<SimulatedCinemaDisplay> SimulatedCinemaDisplay::make(const Identity& identity) {
  std::map<std::string, Property, std::less<>> properties{
      {"VendorID", Property{kAppleVendorID}},
      {"ProductID", Property{identity.productID}},
      {"Transport", Property{std::string("USB")}},
  };
  if (identity.name) properties.emplace("Product", Property{*identity.name});
  if (identity.serialNumber) properties.emplace("SerialNumber", Property{*identity.serialNumber});
  if (identity.locationID) properties.emplace("LocationID", Property{*identity.locationID});
  return std::make_shared<SimulatedCinemaDisplay>(std::move(properties), identity.brightness);
}

std::shared_ptr<SimulatedCinemaDisplay> SimulatedCinemaDisplay::make(std::int64_t productID,
                                                                     std::optional<std::string> name,
                                                                     std::optional<std::string> serialNumber) {
  Identity identity;
  identity.productID = productID;
  identity.name = std::move(name);
  identity.serialNumber = std::move(serialNumber);
  return make(identity);
}

SimulatedCinemaDisplay::SimulatedCinemaDisplay(std::map<std::string, Property, std::less<>> properties,
                                               std::uint8_t brightness)
    : properties_(std::move(properties)), brightness_(brightness) {}

std::optional<Property> SimulatedCinemaDisplay::property(std::string_view key) const {
  std::lock_guard lock(mutex_);
  const auto found = properties_.find(key);
  if (found == properties_.end()) return std::nullopt;
  return found->second;
}

// By default like a Cinema Display whose descriptor cannot be read: report 0x10 is assumed.
std::optional<std::vector<std::uint8_t>> SimulatedCinemaDisplay::reportDescriptor() const {
  std::lock_guard lock(mutex_);
  return descriptor_;
}

void SimulatedCinemaDisplay::setReportDescriptor(std::vector<std::uint8_t> descriptor) {
  std::lock_guard lock(mutex_);
  descriptor_ = std::move(descriptor);
}

IOReturn SimulatedCinemaDisplay::open() {
  std::lock_guard lock(mutex_);
  if (unplugged_) return kIOReturnNoDevice;
  if (openFailure_ != kIOReturnSuccess) return openFailure_;
  ++openDepth_;
  ++opens_;
  return kIOReturnSuccess;
}

IOReturn SimulatedCinemaDisplay::getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer,
                                                  std::int64_t& length) {
  std::lock_guard lock(mutex_);
  if (unplugged_) return kIOReturnNoDevice;
  if (openDepth_ == 0) return kIOReturnNotOpen;
  ++reads_;
  if (getFailure_ != kIOReturnSuccess) {
    if (getFailureLength_) length = *getFailureLength_;
    return getFailure_;
  }
  // Never write past the caller's buffer, whatever length it claims.
  const auto capacity = std::min<std::int64_t>(length, static_cast<std::int64_t>(buffer.size()));
  if (reportID == kEDIDReportID && edid_) {
    const auto size =
        std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int64_t>(capacity, 1)) - 1, edid_->size());
    buffer[0] = kEDIDReportID;
    std::copy_n(edid_->begin(), size, buffer.begin() + 1);
    length = static_cast<std::int64_t>(size + 1);
    return kIOReturnSuccess;
  }
  if (reportID != kBrightnessReportID) return kIOReturnUnsupported;

  switch (reply_) {
    case Reply::kReportIDAndByte:
      if (capacity < 2) return kIOReturnBadArgument;
      buffer[0] = kBrightnessReportID;
      buffer[1] = brightness_;
      length = 2;
      break;
    case Reply::kByteOnly:
      if (capacity < 1) return kIOReturnBadArgument;
      buffer[0] = brightness_;
      length = 1;
      break;
    case Reply::kEmpty:
      length = 0;
      break;
  }
  return kIOReturnSuccess;
}

IOReturn SimulatedCinemaDisplay::setFeatureReport(std::uint8_t reportID, std::span<const std::uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  if (unplugged_) return kIOReturnNoDevice;
  if (openDepth_ == 0) return kIOReturnNotOpen;
  if (setFailure_ != kIOReturnSuccess) return setFailure_;
  if (reportID != kBrightnessReportID) return kIOReturnUnsupported;
  if (buffer.size() != 2 || buffer[0] != reportID) return kIOReturnBadArgument;
  brightness_ = buffer[1];
  written_.emplace_back(buffer.begin(), buffer.end());
  return kIOReturnSuccess;
}

void SimulatedCinemaDisplay::close() {
  std::lock_guard lock(mutex_);
  ++closes_;
  if (openDepth_ > 0) --openDepth_;
}

void SimulatedCinemaDisplay::setProperty(std::string key, Property value) {
  std::lock_guard lock(mutex_);
  properties_.insert_or_assign(std::move(key), std::move(value));
}

void SimulatedCinemaDisplay::removeProperty(std::string_view key) {
  std::lock_guard lock(mutex_);
  if (const auto found = properties_.find(key); found != properties_.end()) properties_.erase(found);
}

void SimulatedCinemaDisplay::answerEDID(std::vector<std::uint8_t> edid) {
  std::lock_guard lock(mutex_);
  edid_ = std::move(edid);
}

void SimulatedCinemaDisplay::setBrightnessByte(std::uint8_t byte) {
  std::lock_guard lock(mutex_);
  brightness_ = byte;
}

void SimulatedCinemaDisplay::failOpen(IOReturn code) {
  std::lock_guard lock(mutex_);
  openFailure_ = code;
}

void SimulatedCinemaDisplay::failGetReport(IOReturn code, std::optional<std::int64_t> lengthLeft) {
  std::lock_guard lock(mutex_);
  getFailure_ = code;
  getFailureLength_ = lengthLeft;
}

void SimulatedCinemaDisplay::failSetReport(IOReturn code) {
  std::lock_guard lock(mutex_);
  setFailure_ = code;
}

void SimulatedCinemaDisplay::setReply(Reply reply) {
  std::lock_guard lock(mutex_);
  reply_ = reply;
}

void SimulatedCinemaDisplay::unplug() {
  std::lock_guard lock(mutex_);
  unplugged_ = true;
}

void SimulatedCinemaDisplay::replug() {
  std::lock_guard lock(mutex_);
  unplugged_ = false;
}

std::uint8_t SimulatedCinemaDisplay::brightnessByte() const {
  std::lock_guard lock(mutex_);
  return brightness_;
}

int SimulatedCinemaDisplay::openCount() const {
  std::lock_guard lock(mutex_);
  return opens_;
}

int SimulatedCinemaDisplay::closeCount() const {
  std::lock_guard lock(mutex_);
  return closes_;
}

bool SimulatedCinemaDisplay::isOpen() const {
  std::lock_guard lock(mutex_);
  return openDepth_ > 0;
}

int SimulatedCinemaDisplay::readCount() const {
  std::lock_guard lock(mutex_);
  return reads_;
}

std::vector<std::vector<std::uint8_t>> SimulatedCinemaDisplay::reportsWritten() const {
  std::lock_guard lock(mutex_);
  return written_;
}

// --- SimulatedHidManager ---

namespace {

bool matches(const Device& device, const DeviceMatching& matching) {
  const auto transport = device.property("Transport");
  const auto vendor = device.property("VendorID");
  const auto* transportText = transport ? std::get_if<std::string>(&*transport) : nullptr;
  const auto* vendorNumber = vendor ? std::get_if<std::int64_t>(&*vendor) : nullptr;
  return transportText && *transportText == matching.transport &&
         (!matching.vendorID || (vendorNumber && *vendorNumber == *matching.vendorID));
}

}  // namespace

SimulatedHidManager::SimulatedHidManager(std::vector<std::shared_ptr<Device>> devices) : devices_(std::move(devices)) {}

void SimulatedHidManager::setDeviceMatching(const DeviceMatching& matching) {
  std::lock_guard lock(mutex_);
  matchings_.push_back(matching);
}

IOReturn SimulatedHidManager::open() {
  std::lock_guard lock(mutex_);
  ++opens_;
  if (openFailure_ != kIOReturnSuccess) return openFailure_;
  open_ = true;
  return kIOReturnSuccess;
}

std::optional<std::vector<std::shared_ptr<Device>>> SimulatedHidManager::copyDevices() {
  std::lock_guard lock(mutex_);
  if (withhold_) return std::nullopt;
  std::vector<std::shared_ptr<Device>> result;
  for (const auto& device : devices_) {
    if (!applyMatching_ || (device && !matchings_.empty() && matches(*device, matchings_.back()))) {
      result.push_back(device);
    }
  }
  if (result.empty()) return std::nullopt;
  return result;
}

void SimulatedHidManager::close() {
  std::lock_guard lock(mutex_);
  ++closes_;
  open_ = false;
}

void SimulatedHidManager::setDevices(std::vector<std::shared_ptr<Device>> devices) {
  std::lock_guard lock(mutex_);
  devices_ = std::move(devices);
}

void SimulatedHidManager::addDevice(std::shared_ptr<Device> device) {
  std::lock_guard lock(mutex_);
  devices_.push_back(std::move(device));
}

void SimulatedHidManager::failOpen(IOReturn code) {
  std::lock_guard lock(mutex_);
  openFailure_ = code;
}

void SimulatedHidManager::withholdDeviceSet(bool withhold) {
  std::lock_guard lock(mutex_);
  withhold_ = withhold;
}

void SimulatedHidManager::applyMatching(bool apply) {
  std::lock_guard lock(mutex_);
  applyMatching_ = apply;
}

std::vector<DeviceMatching> SimulatedHidManager::matchingHistory() const {
  std::lock_guard lock(mutex_);
  return matchings_;
}

int SimulatedHidManager::openCount() const {
  std::lock_guard lock(mutex_);
  return opens_;
}

int SimulatedHidManager::closeCount() const {
  std::lock_guard lock(mutex_);
  return closes_;
}

bool SimulatedHidManager::isOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

SharedSimulatedHidManager::SharedSimulatedHidManager(std::shared_ptr<SimulatedHidManager> target,
                                                     std::function<void()> onDestroy)
    : target_(std::move(target)), onDestroy_(std::move(onDestroy)) {}

SharedSimulatedHidManager::~SharedSimulatedHidManager() {
  if (onDestroy_) onDestroy_();
}

}  // namespace lumaro::hid
