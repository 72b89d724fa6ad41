#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/display_commands.hpp"
#include "model/lumaro_manager.hpp"

namespace lumaro::cli {

// The command line's operations on the application model, so a command
// moves the same rows the window shows. Devices must come through a
// HidFailureWatch for failures to carry their cause.
//
// Call on the main thread. `settle` runs the main queue (and, where nothing
// else does, the global queue) until every block submitted before it has run.
// `program` names the command in messages ("see 'lumaro list'").
class ModelDisplayCommands final : public DisplayCommands {
 public:
  ModelDisplayCommands(std::shared_ptr<LumaroManager> manager, std::function<void()> settle, std::string program)
      : manager_(std::move(manager)), settle_(std::move(settle)), program_(std::move(program)) {}

  // Runs before every answer: brings the model up to date with device events
  // that arrived but have not refreshed it yet; true when it started a refresh.
  void setCatchUp(std::function<bool()> catchUp) { catchUp_ = std::move(catchUp); }

  // Detects the displays when the model holds none yet; otherwise answers
  // from the rows as they are, so a key press does not rebuild an open window.
  Answer<std::vector<DisplayStatus>> list() override;
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                  const BrightnessValue& value) override;
  Answer<DisplayInfo> info(const std::string& selector) override;

 private:
  std::vector<DisplayStatus> currentRows();
  // The published row `status` was made from, found again by its stable id
  // when a refresh has replaced the rows since.
  const DisplayItem* rowOf(const DisplayStatus& status) const;
  WriteOutcome write(const DisplayStatus& status, const BrightnessValue& value);

  std::shared_ptr<LumaroManager> manager_;
  std::function<void()> settle_;
  std::string program_;
  std::function<bool()> catchUp_;
};

}  // namespace lumaro::cli
