#pragma once

#include <memory>
#include <optional>

#include "cli/display_commands.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "ports/hid.hpp"

namespace lumaro::cli {

// A HID manager that remembers, per device, how the last open-transfer
// cycle ended, so a command can say why a write failed (no permission,
// unplugged, refused) where the model only says that it failed.
class HidFailureWatch final : public hid::Manager {
 public:
  explicit HidFailureWatch(std::unique_ptr<hid::Manager> inner) : inner_(std::move(inner)) {}

  // The failing code of `device`'s last cycle; absent when it succeeded,
  // never ran, or the device did not come from a watch.
  static std::optional<hid::IOReturn> lastFailure(const hid::Device& device);
  // What that code means to the user.
  static DisplayFailure failureOf(const hid::Device& device);

  void setDeviceMatching(const hid::DeviceMatching& matching) override { inner_->setDeviceMatching(matching); }
  hid::IOReturn open() override { return inner_->open(); }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override;
  void close() override { inner_->close(); }

 private:
  std::unique_ptr<hid::Manager> inner_;
};

// What a row's failure means to the user of a command.
DisplayFailure displayFailureOf(BrightnessFailure failure);

// `ports` with its HID manager watched.
ControllerPorts watchedPorts(ControllerPorts ports);

}  // namespace lumaro::cli
