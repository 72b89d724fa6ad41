#pragma once

#include <functional>

namespace lumaro::devices {

// Tells its listener that a supported display may have appeared or gone: a
// hint to look again, carrying nothing else. Events about other devices are
// dropped by the adapter and never reach the listener.
class DeviceEvents {
 public:
  using Listener = std::function<void()>;
  virtual ~DeviceEvents() = default;

  // Replaces the listener; an empty one stops delivery. The listener runs on
  // the main thread, once per event (bursts are the caller's to coalesce).
  virtual void setListener(Listener listener) = 0;
  // Delivers now any event that has arrived but is still waiting for the
  // main loop to notice it; a source that delivers at once has none.
  virtual void deliverPending() {}
};

// The readable side of an event source that a main loop watches: when fd()
// becomes readable, readPending() consumes every queued event and says
// whether any of them concerned a supported display.
class PollableDeviceEvents {
 public:
  virtual ~PollableDeviceEvents() = default;
  virtual int fd() const = 0;
  virtual bool readPending() = 0;
};

}  // namespace lumaro::devices
