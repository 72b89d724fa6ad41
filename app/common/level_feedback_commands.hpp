#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/display_commands.hpp"
#include "ports/level_feedback.hpp"

namespace lumaro::app {

// The commands the tray serves on the bus, showing each level they change.
// The window's own sliders call the manager directly and never pass here, so
// only keys and scripts get feedback.
//
// A change that reached several displays (`set all`) is shown once:
// `allDisplaysTitle` at their mean level, the figure the All Displays row shows.
class FeedbackDisplayCommands final : public DisplayCommands {
 public:
  // `makeFeedback` runs once, at the first change: nothing is built at start.
  FeedbackDisplayCommands(DisplayCommands& commands, std::function<std::unique_ptr<LevelFeedback>()> makeFeedback,
                          std::string allDisplaysTitle)
      : commands_(commands), makeFeedback_(std::move(makeFeedback)), allDisplaysTitle_(std::move(allDisplaysTitle)) {}

  Answer<std::vector<DisplayStatus>> list() override { return commands_.list(); }
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                  const cli::BrightnessValue& value) override;
  Answer<DisplayInfo> info(const std::string& selector) override { return commands_.info(selector); }

 private:
  void show(const std::vector<WriteOutcome>& outcomes);

  DisplayCommands& commands_;
  std::function<std::unique_ptr<LevelFeedback>()> makeFeedback_;
  std::unique_ptr<LevelFeedback> feedback_;
  std::string allDisplaysTitle_;
};

}  // namespace lumaro::app
