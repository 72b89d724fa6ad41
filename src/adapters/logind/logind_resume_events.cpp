#include "adapters/logind/logind_resume_events.hpp"

#include <systemd/sd-bus.h>

#include <utility>

namespace lumaro {

namespace {

// `resumed` points at the watcher's flag.
int onPrepareForSleep(sd_bus_message* message, void* resumed, sd_bus_error*) {
  int sleeping = 0;
  if (sd_bus_message_read(message, "b", &sleeping) >= 0 && !sleeping) *static_cast<bool*>(resumed) = true;
  return 0;
}

}  // namespace

void LogindResumeEvents::BusClose::operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
void LogindResumeEvents::SlotRelease::operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }

LogindResumeEvents::LogindResumeEvents() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0) return;
  bus_.reset(bus);
  sd_bus_slot* slot = nullptr;
  // No sender in the match: sd-bus cannot resolve logind's well-known name
  // locally, and only logind owns this object on the system bus.
  if (sd_bus_match_signal(bus, &slot, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                          "PrepareForSleep", &onPrepareForSleep, &resumed_) < 0) {
    bus_.reset();
    return;
  }
  slot_.reset(slot);
}

LogindResumeEvents::~LogindResumeEvents() { slot_.reset(); }

int LogindResumeEvents::fd() const { return bus_ ? sd_bus_get_fd(bus_.get()) : -1; }

bool LogindResumeEvents::readPending() {
  if (!bus_) return false;
  while (sd_bus_process(bus_.get(), nullptr) > 0) {
  }
  return std::exchange(resumed_, false);
}

}  // namespace lumaro
