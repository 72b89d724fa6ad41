#pragma once

#include <functional>
#include <memory>

#include "cli/display_commands.hpp"
#include "model/lumaro_manager.hpp"

namespace lumaro::cli {

// The command line's operations on the application model, so a command
// moves the same rows the window shows. Devices must come through a
// HidFailureWatch for failures to carry their cause.
//
// Call on the main thread. `settle` runs the main queue (and, where nothing
// else does, the global queue) until every block submitted before it has run.
class ModelDisplayCommands final : public DisplayCommands {
 public:
  ModelDisplayCommands(std::shared_ptr<LumaroManager> manager, std::function<void()> settle)
      : manager_(std::move(manager)), settle_(std::move(settle)) {}

  // Detects the displays when the model holds none yet; otherwise lists the
  // rows as they are, so a key press does not rebuild an open window.
  std::vector<DisplayStatus> list() override;
  DisplayFailure setBrightness(std::size_t number, float value) override;
  std::optional<DisplayEDIDDetails> info(std::size_t number) override;

 private:
  const DisplayItem* row(std::size_t number) const;

  std::shared_ptr<LumaroManager> manager_;
  std::function<void()> settle_;
};

}  // namespace lumaro::cli
