#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "cli/display_commands.hpp"

struct sd_bus;
struct sd_bus_message;

namespace lumaro::dbus {

// The display operations of a running instance, called over the session bus
// through sd-bus: one synchronous call per operation, no Qt, so a command
// starts quickly. The call goes straight to the well-known name, without
// starting anything: when nobody owns it, the answer is a noInstance error,
// so finding out costs no round trip of its own. A call that gets no answer
// within the timeout becomes an error naming the instance and its process,
// never an empty answer.
class SdbusDisplayCommands final : public DisplayCommands {
 public:
  // Absent when there is no session bus.
  static std::unique_ptr<SdbusDisplayCommands> connectTo(const std::string& busName,
                                                         std::chrono::milliseconds timeout = std::chrono::seconds(2));
  ~SdbusDisplayCommands() override;
  SdbusDisplayCommands(const SdbusDisplayCommands&) = delete;
  SdbusDisplayCommands& operator=(const SdbusDisplayCommands&) = delete;

  Answer<std::vector<DisplayStatus>> list() override;
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                  const cli::BrightnessValue& value) override;
  Answer<DisplayInfo> info(const std::string& selector) override;

 private:
  struct BusClose {
    void operator()(sd_bus* bus) const;
  };
  struct MessageUnref {
    void operator()(sd_bus_message* message) const;
  };
  using Reply = std::unique_ptr<sd_bus_message, MessageUnref>;

  SdbusDisplayCommands(sd_bus* bus, std::string busName, std::chrono::milliseconds timeout);
  // The reply, or the error a command prints; the arguments follow `signature`.
  std::variant<Reply, CommandError> call(const char* method, const char* signature, ...);
  std::string ownerDescription();

  std::unique_ptr<sd_bus, BusClose> bus_;
  std::string busName_;
  std::chrono::milliseconds timeout_;
};

}  // namespace lumaro::dbus
