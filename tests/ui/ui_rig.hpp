#pragma once

// The interface on a real manager over simulated hardware, with queues that
// run only when the test pumps them, so every step between a click and the
// published change can be looked at.

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "diagnostics/line_sinks.hpp"
#include "model/lumaro_manager.hpp"
#include "platform/simulated/manual_dispatch_queues.hpp"
#include "platform/simulated/simulated_display_services.hpp"
#include "platform/simulated/simulated_hid.hpp"

class QWidget;

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace lumaro::testing {

// A registry dump tool that prints a fixed text; counts its runs.
class ScriptedDumpTool final : public process::ProcessLauncher {
 public:
  explicit ScriptedDumpTool(std::string output = {}) : output_(std::move(output)) {}
  process::RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override;

 private:
  std::string output_;
};

std::vector<std::uint8_t> fixtureBytes(const std::string& relativePath);

// Runs `queues` and the event loop's posted steps until both are idle.
void settle(ManualDispatchQueues& queues);

struct UiRig {
  UiRig();

  // A display on the USB bus from the next refresh on.
  std::shared_ptr<hid::SimulatedCinemaDisplay> plug(const hid::SimulatedCinemaDisplay::Identity& identity);
  // Lets the EDID lookup find the LED Cinema EDID fixture for `productID`.
  void attachEdid(std::int64_t productID);
  // Refreshes and publishes at once.
  void refreshNow();
  // Runs everything pending: the manager's queues and the views' own steps
  // on the event loop, until neither has anything left.
  void settle() { lumaro::testing::settle(*queues); }

  // How many collected lines start with `prefix`; the lines stay collected.
  int linesStartingWith(const std::string& prefix) const;
  int refreshes() const { return linesStartingWith("LumaroManager: Starting refresh"); }
  int brightnessCalls() const { return linesStartingWith("LumaroManager: setBrightness called with value: "); }

  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  std::shared_ptr<VectorLineSink> sink = std::make_shared<VectorLineSink>();
  std::shared_ptr<hid::SimulatedHidManager> hid = std::make_shared<hid::SimulatedHidManager>();
  std::shared_ptr<displays::SimulatedDisplayServices> services = std::make_shared<displays::SimulatedDisplayServices>();
  std::shared_ptr<ScriptedDumpTool> dumpTool = std::make_shared<ScriptedDumpTool>();
  std::shared_ptr<LumaroManager> manager;

 private:
  displays::DisplayID online_ = 0;
};

// The texts a user sees in `root`, top to bottom and left to right: labels,
// elided labels and the titles of info rows, skipping hidden widgets.
QStringList visibleTexts(const QWidget& root);

// Identities used across the suites.
hid::SimulatedCinemaDisplay::Identity ledCinema(std::uint8_t brightness = 128);
hid::SimulatedCinemaDisplay::Identity namelessCinemaHD(std::uint8_t brightness = 64);

}  // namespace lumaro::testing
