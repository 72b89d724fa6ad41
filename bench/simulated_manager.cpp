#include "simulated_manager.hpp"

#include <chrono>
#include <string>

#include "adapters/simulated/line_sinks.hpp"

namespace lumaro::bench {

SimulatedManager::SimulatedManager(std::size_t displayCount) {
  auto hid = std::make_unique<hid::SimulatedHidManager>();
  for (std::size_t index = 0; index < displayCount; ++index) {
    hid::SimulatedCinemaDisplay::Identity identity;
    identity.productID = 0x9226;
    identity.name = "LED Cinema Display " + std::to_string(index + 1);
    identity.serialNumber = "2A1133WZ6J" + std::to_string(index);
    identity.locationID = 0x14100000 + static_cast<std::int64_t>(index) * 0x100000;
    identity.brightness = static_cast<std::uint8_t>(64 + 32 * index);
    displays.push_back(hid::SimulatedCinemaDisplay::make(identity));
    hid->addDevice(displays.back());
  }
  wire(std::move(hid));
}

SimulatedManager::SimulatedManager(std::unique_ptr<hid::Manager> hid) { wire(std::move(hid)); }

void SimulatedManager::wire(std::unique_ptr<hid::Manager> hid) {
  auto sink = std::make_shared<DiscardingLineSink>();
  ControllerPorts ports;
  ports.hidManager = std::move(hid);
  ports.clock = [] { return std::chrono::system_clock::now(); };
  ports.sink = sink;
  manager = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(std::move(ports)), queues, sink);
}

}  // namespace lumaro::bench
