#include "cli/hid_failure_watch.hpp"

#include <atomic>

namespace lumaro::cli {

namespace {

class WatchedDevice final : public hid::Device {
 public:
  explicit WatchedDevice(std::shared_ptr<hid::Device> inner) : inner_(std::move(inner)) {}

  std::optional<hid::Property> property(std::string_view key) const override { return inner_->property(key); }
  std::optional<std::vector<std::uint8_t>> reportDescriptor() const override { return inner_->reportDescriptor(); }

  hid::IOReturn open() override {
    failure_ = hid::kIOReturnSuccess;  // a new cycle
    return note(inner_->open());
  }
  hid::IOReturn getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer, std::int64_t& length) override {
    return note(inner_->getFeatureReport(reportID, buffer, length));
  }
  hid::IOReturn setFeatureReport(std::uint8_t reportID, std::span<const std::uint8_t> buffer) override {
    return note(inner_->setFeatureReport(reportID, buffer));
  }
  void close() override { inner_->close(); }

  std::optional<hid::IOReturn> failure() const {
    const hid::IOReturn code = failure_;
    if (code == hid::kIOReturnSuccess) return std::nullopt;
    return code;
  }

 private:
  hid::IOReturn note(hid::IOReturn code) {
    if (code != hid::kIOReturnSuccess) failure_ = code;
    return code;
  }

  std::shared_ptr<hid::Device> inner_;
  std::atomic<hid::IOReturn> failure_ = hid::kIOReturnSuccess;
};

}  // namespace

ControllerPorts watchedPorts(ControllerPorts ports) {
  ports.hidManager = std::make_unique<HidFailureWatch>(std::move(ports.hidManager));
  return ports;
}

std::optional<std::vector<std::shared_ptr<hid::Device>>> HidFailureWatch::copyDevices() {
  auto devices = inner_->copyDevices();
  if (!devices) return devices;
  for (auto& device : *devices) device = std::make_shared<WatchedDevice>(std::move(device));
  return devices;
}

std::optional<hid::IOReturn> HidFailureWatch::lastFailure(const hid::Device& device) {
  const auto* watched = dynamic_cast<const WatchedDevice*>(&device);
  return watched != nullptr ? watched->failure() : std::nullopt;
}

DisplayFailure displayFailureOf(BrightnessFailure failure) {
  switch (failure) {
    case BrightnessFailure::kNotPrivileged:
      return DisplayFailure::notPermitted;
    case BrightnessFailure::kNoDevice:
      return DisplayFailure::gone;
    case BrightnessFailure::kError:
      break;
  }
  return DisplayFailure::refused;
}

DisplayFailure HidFailureWatch::failureOf(const hid::Device& device) {
  const auto code = lastFailure(device);
  return code ? displayFailureOf(brightnessFailureFor(*code)) : DisplayFailure::none;
}

}  // namespace lumaro::cli
