#include "manager_rig.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "display_control/rarudo_rurorav_oduradadur.hpp"

namespace lumaro::testing {

process::RunResult ScriptedDumpTool::run(const std::string&, const std::vector<std::string>&) {
  ++runs_;
  process::Completed completed;
  completed.standardOutput.assign(output_.begin(), output_.end());
  return completed;
}

std::vector<std::uint8_t> fixtureBytes(const std::string& relativePath) {
  const std::string path = std::string(LUMARO_FIXTURES_DIR) + "/" + relativePath;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> appleDisplayEdid() { return fixtureBytes("edid/apple-led-cinema-9226.bin"); }

std::vector<std::string> managerLines(const std::vector<std::string>& lines) {
  std::vector<std::string> mine;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(mine),
               [](const std::string& line) { return line.starts_with("LumaroManager: "); });
  return mine;
}

ManagerRig::ManagerRig(std::shared_ptr<DispatchQueues> dispatchQueues) : queues(std::move(dispatchQueues)) {
  ControllerPorts ports;
  ports.hidManager = std::make_unique<ObservedHidManager>(hid, [this] {
    controllerDestroyedOnMain = queues->isMainThread();
    controllerDestroyed = true;
  });
  ports.displayServices = services;
  ports.processLauncher = dumpTool;
  ports.clock = [] { return std::chrono::system_clock::time_point{}; };
  ports.sink = sink;
  manager = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(std::move(ports)), queues, sink);
}

std::shared_ptr<hid::SimulatedCinemaDisplay> ManagerRig::plug(const hid::SimulatedCinemaDisplay::Identity& identity) {
  auto display = hid::SimulatedCinemaDisplay::make(identity);
  hid->addDevice(display);
  return display;
}

void ManagerRig::attachEdid(std::int64_t productID) {
  const auto product = static_cast<std::uint32_t>(productID);
  services->addOnlineDisplay({.id = ++onlineDisplays, .vendor = 0x0610, .model = product, .serial = 0});
  services->addService("IODisplayConnect",
                       displays::SimulatedDisplayServices::displayService(0x0610, productID, appleDisplayEdid()));
}

std::optional<DisplayItem> ManagerRig::row(const Uuid& id) const {
  for (const auto& item : manager->displays()) {
    if (item.id == id) return item;
  }
  return std::nullopt;
}

std::vector<std::string> ManagerRig::takeManagerLines() { return managerLines(sink->take()); }

}  // namespace lumaro::testing
