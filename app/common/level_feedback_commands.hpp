#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "cli/display_commands.hpp"
#include "ports/level_feedback.hpp"

namespace lumaro::app {

// The commands the tray serves on the bus, showing each level they change.
// The window's own sliders call the manager directly and never pass here, so
// only keys and scripts get feedback.
//
// Several displays changed within one burst (`set all` arrives as one call
// per display) are shown as one: `allDisplaysTitle` at their mean level, the
// figure the All Displays row shows.
class FeedbackDisplayCommands final : public DisplayCommands {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Calls closer together than this belong to one burst.
  static constexpr std::chrono::milliseconds kBurst{250};

  // `makeFeedback` runs once, at the first change: nothing is built at start.
  FeedbackDisplayCommands(DisplayCommands& commands, std::function<std::unique_ptr<LevelFeedback>()> makeFeedback,
                          std::string allDisplaysTitle, Clock now = std::chrono::steady_clock::now)
      : commands_(commands),
        makeFeedback_(std::move(makeFeedback)),
        allDisplaysTitle_(std::move(allDisplaysTitle)),
        now_(std::move(now)) {}

  std::vector<DisplayStatus> list() override { return commands_.list(); }
  DisplayFailure setBrightness(std::size_t number, float value) override;
  std::optional<DisplayEDIDDetails> info(std::size_t number) override { return commands_.info(number); }

 private:
  void show(std::size_t number, float value);

  DisplayCommands& commands_;
  std::function<std::unique_ptr<LevelFeedback>()> makeFeedback_;
  std::unique_ptr<LevelFeedback> feedback_;
  std::string allDisplaysTitle_;
  Clock now_;
  std::set<std::size_t> burst_;
  std::chrono::steady_clock::time_point lastChange_;
};

}  // namespace lumaro::app
