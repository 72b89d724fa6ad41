#pragma once

#include <memory>

#include "model/display_change_coalescer.hpp"
#include "model/lumaro_manager.hpp"
#include "ports/device_events.hpp"
#include "ports/timer.hpp"

namespace lumaro {

// Keeps the model in step with displays coming and going for as long as the
// application runs, window shown or not: each burst of device events
// refreshes the manager once. Nothing is polled. Main thread only; `events`
// must outlive it.
class DisplayFollower {
 public:
  DisplayFollower(std::shared_ptr<LumaroManager> manager, devices::DeviceEvents& events,
                  std::unique_ptr<OneShotTimer> timer);

  // Refreshes now if a burst has begun (or is waiting in the source), so an
  // answer given next sees every display attached at this moment. True when
  // a refresh started (its rows arrive in a later main-queue step).
  bool catchUp() { return changes_.settleNow(); }

 private:
  std::shared_ptr<LumaroManager> manager_;
  std::unique_ptr<OneShotTimer> timer_;
  DisplayChangeCoalescer changes_;
};

}  // namespace lumaro
