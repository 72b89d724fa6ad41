// What the tray shows when the bus changes a level: nothing until a change
// took, the level as the window shows it, and one "All Displays" feedback
// for a change that reached several displays.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "common/level_feedback_commands.hpp"

namespace lumaro::app {
namespace {

using Shown = std::pair<std::string, int>;

class RecordedFeedback final : public LevelFeedback {
 public:
  explicit RecordedFeedback(std::vector<Shown>& shown) : shown_(shown) {}
  void show(const std::string& title, int percent) override { shown_.emplace_back(title, percent); }

 private:
  std::vector<Shown>& shown_;
};

// Answers every write with the outcomes the test sets.
class ScriptedWrites final : public DisplayCommands {
 public:
  Answer<std::vector<DisplayStatus>> list() override { return std::vector<DisplayStatus>{}; }
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>&,
                                                  const cli::BrightnessValue&) override {
    return next;
  }
  Answer<DisplayInfo> info(const std::string&) override { return DisplayInfo{}; }

  Answer<std::vector<WriteOutcome>> next;
};

WriteOutcome wrote(std::string name, float level, DisplayFailure failure = DisplayFailure::none) {
  WriteOutcome outcome;
  outcome.display.name = std::move(name);
  outcome.display.brightness = level;
  outcome.failure = failure;
  return outcome;
}

TEST(LevelFeedbackCommands, ShowsWhatTheDisplaysTookOnceForAChangeOverSeveral) {
  ScriptedWrites displays;
  std::vector<Shown> shown;
  int built = 0;
  FeedbackDisplayCommands commands(
      displays,
      [&] {
        ++built;
        return std::make_unique<RecordedFeedback>(shown);
      },
      "All Displays");
  const auto set = [&](Answer<std::vector<WriteOutcome>> outcomes) {
    displays.next = std::move(outcomes);
    return commands.setBrightness(std::nullopt, {});
  };

  EXPECT_EQ(set(std::vector{wrote("Cinema HD Display", 0.9f, DisplayFailure::refused)}), displays.next);
  WriteOutcome unread = wrote("Cinema HD Display", 0.5f);
  unread.failedRead = true;
  set(std::vector{unread});
  set(CommandError{CommandError::Kind::noSuchDisplay, "no display '3'"});
  EXPECT_EQ(built, 0) << "nothing is built before a change takes";

  // Truncated like the window's percentage: 254/255 is 99 %, not 100 %.
  set(std::vector{wrote("LED Cinema Display", 254.0f / 255.0f)});
  set(std::vector{wrote("LED Cinema Display", 0.99f), wrote("Cinema HD Display", 0.2f),
                  wrote("Cinema Display", 0.7f, DisplayFailure::gone)});
  set(std::vector{wrote("Cinema HD Display", 0.3f)});

  EXPECT_EQ(shown, (std::vector<Shown>{{"LED Cinema Display", 99}, {"All Displays", 59}, {"Cinema HD Display", 30}}));
  EXPECT_EQ(built, 1);
}

}  // namespace
}  // namespace lumaro::app
