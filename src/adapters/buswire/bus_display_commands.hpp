#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "adapters/buswire/bus_connection.hpp"
#include "cli/display_commands.hpp"

namespace lumaro::buswire {

// The display operations of a running instance, called over the session bus:
// one synchronous call per operation. The call goes straight to the
// well-known name, without starting anything: when nobody owns it, the
// answer is a noInstance error, so finding out costs no round trip of its
// own. A call that gets no answer within the timeout becomes an error naming
// the instance and its process, never an empty answer.
class BusDisplayCommands final : public DisplayCommands {
 public:
  // Absent when there is no session bus to connect to.
  static std::unique_ptr<BusDisplayCommands> connectTo(const std::string& busName,
                                                       std::chrono::milliseconds timeout = std::chrono::seconds(2));

  Answer<std::vector<DisplayStatus>> list() override;
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                  const cli::BrightnessValue& value) override;
  Answer<DisplayInfo> info(const std::string& selector) override;

 private:
  BusDisplayCommands(std::unique_ptr<BusConnection> bus, std::string busName, std::chrono::milliseconds timeout);
  // The reply's values, or the error a command prints.
  std::variant<WireList, CommandError> call(const char* method, std::vector<std::variant<std::string, double>> arguments);
  std::string ownerDescription();
  CommandError noInstance() const;
  // The call got no answer in time; asks the bus whose process holds the name.
  CommandError unanswered();

  std::unique_ptr<BusConnection> bus_;
  std::string busName_;
  std::chrono::milliseconds timeout_;
};

}  // namespace lumaro::buswire
