#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/lumaro_manager.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "adapters/simulated/simulated_hid.hpp"

namespace lumaro::bench {

// The real manager and controller over simulated Cinema Displays on the USB
// bus. Diagnostic lines are formatted as usual and then dropped; the main
// queue runs only when the benchmark pumps it, so each iteration can end at
// the published state.
struct SimulatedManager {
  explicit SimulatedManager(std::size_t displayCount);
  // The same manager over any HID manager (`displays` stays empty).
  explicit SimulatedManager(std::unique_ptr<hid::Manager> hid);

  // Runs the main queue until it is empty; returns how many blocks ran.
  std::size_t pump() { return queues->runAllMain(); }

  std::vector<std::shared_ptr<hid::SimulatedCinemaDisplay>> displays;
  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  std::shared_ptr<LumaroManager> manager;

 private:
  void wire(std::unique_ptr<hid::Manager> hid);
};

}  // namespace lumaro::bench
