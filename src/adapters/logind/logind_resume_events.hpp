#pragma once

#include <memory>

#include "ports/device_events.hpp"

struct sd_bus;
struct sd_bus_slot;

namespace lumaro {

// logind's PrepareForSleep(false) on the system bus, through sd-bus: the
// system has just resumed, and displays may have come back at levels of
// their own. A source to watch from a main loop; without a system bus its
// descriptor is invalid and it never delivers.
class LogindResumeEvents final : public devices::PollableDeviceEvents {
 public:
  LogindResumeEvents();
  ~LogindResumeEvents() override;
  LogindResumeEvents(const LogindResumeEvents&) = delete;
  LogindResumeEvents& operator=(const LogindResumeEvents&) = delete;

  int fd() const override;
  // True when a resume was announced since the last call.
  bool readPending() override;

 private:
  struct BusClose {
    void operator()(sd_bus* bus) const;
  };
  struct SlotRelease {
    void operator()(sd_bus_slot* slot) const;
  };
  std::unique_ptr<sd_bus, BusClose> bus_;
  std::unique_ptr<sd_bus_slot, SlotRelease> slot_;
  bool resumed_ = false;
};

}  // namespace lumaro
