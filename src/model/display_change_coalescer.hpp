#pragma once

#include <chrono>
#include <functional>

#include "ports/device_events.hpp"
#include "ports/timer.hpp"

namespace lumaro {

// Turns the device events of a plug, an unplug or a re-enumeration into one
// call of `onSettled`: the first event arms the timer, events while it is
// armed join the same burst, and the call comes when it fires. A steady
// stream of events therefore still gives a call at least every `window`.
// Nothing runs and nothing is polled while no event arrives.
class DisplayChangeCoalescer {
 public:
  static constexpr std::chrono::milliseconds kWindow{250};

  // Listens on `events` for as long as this object lives. All three are
  // borrowed and must outlive it; everything runs on the main thread.
  DisplayChangeCoalescer(devices::DeviceEvents& events, OneShotTimer& timer, std::function<void()> onSettled,
                         std::chrono::milliseconds window = kWindow);
  ~DisplayChangeCoalescer();
  DisplayChangeCoalescer(const DisplayChangeCoalescer&) = delete;
  DisplayChangeCoalescer& operator=(const DisplayChangeCoalescer&) = delete;

  // Ends the current burst now, with events still waiting in the source:
  // `onSettled` runs at once when there is one. For an answer that must see
  // every display attached at the moment it is given. True when it ran.
  bool settleNow();

 private:
  void eventArrived();

  devices::DeviceEvents& events_;
  OneShotTimer& timer_;
  std::function<void()> onSettled_;
  std::chrono::milliseconds window_;
};

}  // namespace lumaro
