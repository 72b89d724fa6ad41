#include "manager_rig.hpp"

#include <algorithm>
#include <functional>

#include "display_control/details_assembly.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "edid/edid_parser.hpp"
#include "fixtures.hpp"

namespace lumaro::testing {
process::RunResult ScriptedDumpTool::run(const std::string&, const std::vector<std::string>&) {
  ++runs_;
  process::Completed completed;
  completed.standardOutput.assign(output_.begin(), output_.end());
  return completed;
}

int countStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.starts_with(prefix); }));
}

ManagerRig::ManagerRig(std::shared_ptr<DispatchQueues> dispatchQueues, const HidWrapper& wrapHid,
                       std::shared_ptr<LevelMemory> memory)
    : queues(std::move(dispatchQueues)) {
  ControllerPorts ports;
  ports.hidManager = std::make_unique<hid::SharedSimulatedHidManager>(hid, [this] {
    controllerDestroyedOnMain = queues->isMainThread();
    controllerDestroyed = true;
  });
  if (wrapHid) ports.hidManager = wrapHid(std::move(ports.hidManager));
  ports.displayServices = services;
  ports.processLauncher = dumpTool;
  ports.clock = [] { return std::chrono::system_clock::time_point{}; };
  ports.sink = sink;
  manager = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(std::move(ports)), queues, sink,
                                  std::move(memory));
}

std::shared_ptr<hid::SimulatedCinemaDisplay> ManagerRig::plug(const hid::SimulatedCinemaDisplay::Identity& identity) {
  auto display = hid::SimulatedCinemaDisplay::make(identity);
  hid->addDevice(display);
  return display;
}

void ManagerRig::attachEdid(std::int64_t productID) {
  services->addOnlineDisplay(
      {.id = ++onlineDisplays_, .vendor = 0x0610, .model = static_cast<std::uint32_t>(productID)});
  services->addService("IODisplayConnect",
                       displays::SimulatedDisplayServices::displayService(0x0610, productID, appleDisplayEdid()));
}

DisplayEDIDDetails ManagerRig::attachedEdidDetails() {
  return assembleDisplayServiceDetails(EDIDParser::make(appleDisplayEdid()).value(), 0);
}

std::optional<DisplayItem> ManagerRig::row(const Uuid& id) const {
  for (const auto& item : manager->displays()) {
    if (item.id == id) return item;
  }
  return std::nullopt;
}

std::vector<std::string> ManagerRig::takeManagerLines() {
  std::vector<std::string> mine;
  for (std::string& line : sink->take()) {
    if (line.starts_with("LumaroManager: ")) mine.push_back(std::move(line));
  }
  return mine;
}

hid::SimulatedCinemaDisplay::Identity ledCinema(std::uint8_t brightness) {
  return {.productID = 0x9226, .name = "LED Cinema Display", .serialNumber = "2A1133WZ6JL", .brightness = brightness};
}

hid::SimulatedCinemaDisplay::Identity namelessCinemaHD(std::uint8_t brightness) {
  return {.productID = 0x9221,
          .name = std::nullopt,
          .serialNumber = "CY0000000002",
          .locationID = 0x14200000,
          .brightness = brightness};
}

}  // namespace lumaro::testing
