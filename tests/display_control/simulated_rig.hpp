#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/simulated_hid.hpp"

namespace lumaro {

// A controller wired to a simulated HID manager and a line-collecting sink.
// Registry ports stay null: discovery and brightness must not need them.
struct SimulatedRig {
  explicit SimulatedRig(std::vector<std::shared_ptr<hid::Device>> devices = {}) {
    auto owned = std::make_unique<hid::SimulatedHidManager>(std::move(devices));
    manager = owned.get();
    ControllerPorts ports;
    ports.hidManager = std::move(owned);
    ports.sink = sink;
    controller = std::make_unique<RarudoRuroravOduradadur>(std::move(ports));
  }

  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  hid::SimulatedHidManager* manager = nullptr;  // owned by the controller
  std::unique_ptr<RarudoRuroravOduradadur> controller;
};

inline constexpr const char* kDetectLine = "RarudoRuroravOduradadur: detectDisplays called";
inline constexpr const char* kOpenedLine = "RarudoRuroravOduradadur: HID Manager open status: 0";

}  // namespace lumaro
