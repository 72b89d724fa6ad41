#pragma once

// A manager wired to simulated hardware, for the model tests. The rig keeps
// its own handles on every simulated part so a test can configure and observe
// them while (and after) the manager owns the controller.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "diagnostics/line_sinks.hpp"
#include "model/lumaro_manager.hpp"
#include "platform/child_process.hpp"
#include "platform/dispatch.hpp"
#include "platform/simulated/simulated_display_services.hpp"
#include "platform/simulated/simulated_hid.hpp"

namespace lumaro::testing {

// A registry dump tool that prints a fixed text and exits 0. Counts its runs.
class ScriptedDumpTool final : public process::ProcessLauncher {
 public:
  explicit ScriptedDumpTool(std::string output = {}) : output_(std::move(output)) {}
  process::RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override;
  int runs() const { return runs_.load(); }

 private:
  const std::string output_;
  std::atomic<int> runs_{0};
};

// Forwards to a simulated manager the test keeps, and reports its own
// destruction, which happens exactly when the manager releases its controller.
class ObservedHidManager final : public hid::Manager {
 public:
  ObservedHidManager(std::shared_ptr<hid::SimulatedHidManager> target, std::function<void()> onDestroy)
      : target_(std::move(target)), onDestroy_(std::move(onDestroy)) {}
  ~ObservedHidManager() override {
    if (onDestroy_) onDestroy_();
  }
  void setDeviceMatching(const hid::DeviceMatching& matching) override { target_->setDeviceMatching(matching); }
  hid::IOReturn open() override { return target_->open(); }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override { return target_->copyDevices(); }
  void close() override { target_->close(); }

 private:
  std::shared_ptr<hid::SimulatedHidManager> target_;
  std::function<void()> onDestroy_;
};

// The raw bytes of a fixture file under tests/fixtures.
std::vector<std::uint8_t> fixtureBytes(const std::string& relativePath);

// The Apple display EDID that every found lookup decodes.
std::vector<std::uint8_t> appleDisplayEdid();

// Only the lines the manager itself prints.
std::vector<std::string> managerLines(const std::vector<std::string>& lines);

struct ManagerRig {
  explicit ManagerRig(std::shared_ptr<DispatchQueues> queues);

  // A display on the USB bus, seen from the next refresh on.
  std::shared_ptr<hid::SimulatedCinemaDisplay> plug(const hid::SimulatedCinemaDisplay::Identity& identity);
  // Puts an Apple display of `productID` on the online-display list, with a
  // registry display service that carries the Apple EDID fixture.
  void attachEdid(std::int64_t productID);

  // The published row with `id`, if any.
  std::optional<DisplayItem> row(const Uuid& id) const;
  // Lines printed by the manager since the last call.
  std::vector<std::string> takeManagerLines();

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
  displays::DisplayID onlineDisplays = 0;
};

}  // namespace lumaro::testing
