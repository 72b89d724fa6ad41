#pragma once

#include <functional>
#include <memory>

#include "cli/display_commands.hpp"

namespace lumaro::cli {

// The running instance's displays, or the hardware's when the instance's
// first answer says there is none: asking is the call itself, so a command
// through the instance pays no round trip for finding it. Once on the
// hardware, every later call stays there.
class InstanceOrHardware final : public DisplayCommands {
 public:
  using HardwareFactory = std::function<std::unique_ptr<DisplayCommands>()>;
  // `instance` may be null (no session bus); `instanceAnswered` runs once,
  // before the instance's first answer is returned.
  InstanceOrHardware(std::unique_ptr<DisplayCommands> instance, HardwareFactory hardware,
                     std::function<void()> instanceAnswered = {});

  Answer<std::vector<DisplayStatus>> list() override;
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                  const BrightnessValue& value) override;
  Answer<DisplayInfo> info(const std::string& selector) override;

 private:
  template <typename T>
  Answer<T> ask(const std::function<Answer<T>(DisplayCommands&)>& operation);

  std::unique_ptr<DisplayCommands> instance_;
  HardwareFactory makeHardware_;
  std::unique_ptr<DisplayCommands> hardware_;
  std::function<void()> instanceAnswered_;
};

}  // namespace lumaro::cli
