#pragma once

// A real manager wired to simulated hardware, for the model and interface
// suites. The rig keeps its own handles on every simulated part so a test can
// configure and observe them while (and after) the manager owns the controller.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/lumaro_manager.hpp"
#include "ports/child_process.hpp"
#include "ports/dispatch.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "adapters/simulated/simulated_display_services.hpp"
#include "adapters/simulated/simulated_hid.hpp"

namespace lumaro::testing {

// A registry dump tool that prints a fixed text and exits 0. Counts its runs.
class ScriptedDumpTool final : public process::ProcessLauncher {
 public:
  explicit ScriptedDumpTool(std::string output = {}) : output_(std::move(output)) {}
  process::RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override;
  int runs() const { return runs_.load(); }
  // What later runs print; set before any lookup starts.
  void setOutput(std::string output) { output_ = std::move(output); }

 private:
  std::string output_;
  std::atomic<int> runs_{0};
};

// How many of `lines` start with `prefix`.
int countStartingWith(const std::vector<std::string>& lines, const std::string& prefix);

struct ManagerRig {
  // Puts a decorator between the controller and the simulated HID manager.
  using HidWrapper = std::function<std::unique_ptr<hid::Manager>(std::unique_ptr<hid::Manager>)>;
  explicit ManagerRig(std::shared_ptr<DispatchQueues> queues, const HidWrapper& wrapHid = {},
                      std::shared_ptr<LevelMemory> memory = nullptr);

  // A display on the USB bus, seen from the next refresh on.
  std::shared_ptr<hid::SimulatedCinemaDisplay> plug(const hid::SimulatedCinemaDisplay::Identity& identity);
  // Puts an Apple display of `productID` on the online-display list, with a
  // registry display service that carries the Apple EDID fixture.
  void attachEdid(std::int64_t productID);
  // What a lookup finds for a display attached that way (the online display
  // reports no serial number).
  static DisplayEDIDDetails attachedEdidDetails();

  // The published row with `id`, if any.
  std::optional<DisplayItem> row(const Uuid& id) const;
  // Lines printed by the manager itself since the last call.
  std::vector<std::string> takeManagerLines();
  // How many collected lines start with `prefix`; the lines stay collected.
  int linesStartingWith(const std::string& prefix) const { return countStartingWith(sink->lines(), prefix); }

  std::shared_ptr<DispatchQueues> queues;
  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::shared_ptr<hid::SimulatedHidManager> hid = std::make_shared<hid::SimulatedHidManager>();
  std::shared_ptr<displays::SimulatedDisplayServices> services = std::make_shared<displays::SimulatedDisplayServices>();
  std::shared_ptr<ScriptedDumpTool> dumpTool = std::make_shared<ScriptedDumpTool>();

  // Set by the controller's destruction: whether it ran on the main thread as
  // the queues see it.
  std::atomic<bool> controllerDestroyed{false};
  std::atomic<bool> controllerDestroyedOnMain{false};

  std::shared_ptr<LumaroManager> manager;

 private:
  displays::DisplayID onlineDisplays_ = 0;
};

// Identities used across the suites.
hid::SimulatedCinemaDisplay::Identity ledCinema(std::uint8_t brightness = 128);
hid::SimulatedCinemaDisplay::Identity namelessCinemaHD(std::uint8_t brightness = 64);

}  // namespace lumaro::testing
