#include "cli/instance_or_hardware.hpp"

#include <utility>

namespace lumaro::cli {

InstanceOrHardware::InstanceOrHardware(std::unique_ptr<DisplayCommands> instance, HardwareFactory hardware,
                                       std::function<void()> instanceAnswered)
    : instance_(std::move(instance)),
      makeHardware_(std::move(hardware)),
      instanceAnswered_(std::move(instanceAnswered)) {}

template <typename T>
Answer<T> InstanceOrHardware::ask(const std::function<Answer<T>(DisplayCommands&)>& operation) {
  if (instance_) {
    auto answer = operation(*instance_);
    const auto* error = std::get_if<CommandError>(&answer);
    if (error == nullptr || error->kind != CommandError::Kind::noInstance) {
      if (instanceAnswered_) std::exchange(instanceAnswered_, nullptr)();
      return answer;
    }
    instance_.reset();
  }
  if (!hardware_) hardware_ = makeHardware_();
  return operation(*hardware_);
}

Answer<std::vector<DisplayStatus>> InstanceOrHardware::list() {
  return ask<std::vector<DisplayStatus>>([](DisplayCommands& displays) { return displays.list(); });
}

Answer<std::vector<WriteOutcome>> InstanceOrHardware::setBrightness(const std::optional<std::string>& selector,
                                                                    const BrightnessValue& value) {
  return ask<std::vector<WriteOutcome>>(
      [&](DisplayCommands& displays) { return displays.setBrightness(selector, value); });
}

Answer<DisplayInfo> InstanceOrHardware::info(const std::string& selector) {
  return ask<DisplayInfo>([&](DisplayCommands& displays) { return displays.info(selector); });
}

}  // namespace lumaro::cli
