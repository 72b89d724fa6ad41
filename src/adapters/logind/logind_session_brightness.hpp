#pragma once

#include <chrono>
#include <memory>

#include "ports/session_brightness.hpp"

struct sd_bus;

namespace lumaro {

// SetBrightness on logind's object for the caller's own session
// ("/org/freedesktop/login1/session/auto") over the system bus, through
// sd-bus: synchronous, no Qt, so the command line can use it too. The bus is
// connected at the first call and again after a failed one. Main thread only.
class LogindSessionBrightness final : public SessionBrightness {
 public:
  // A call that takes longer than `timeout` counts as refused; the caller
  // blocks for at most that long.
  explicit LogindSessionBrightness(std::chrono::milliseconds timeout = std::chrono::seconds(2));
  ~LogindSessionBrightness() override;
  LogindSessionBrightness(const LogindSessionBrightness&) = delete;
  LogindSessionBrightness& operator=(const LogindSessionBrightness&) = delete;

  Outcome setBrightness(std::string_view subsystem, std::string_view name, std::uint32_t value) override;

 private:
  struct BusClose {
    void operator()(sd_bus* bus) const;
  };
  std::chrono::milliseconds timeout_;
  std::unique_ptr<sd_bus, BusClose> bus_;
};

}  // namespace lumaro
