// What the tray shows when the bus changes a level: nothing until a change
// took, the level as the window shows it, and one "All Displays" feedback
// for a burst over several displays.

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

DisplayStatus row(std::size_t number, std::string name) {
  DisplayStatus status;
  status.number = number;
  status.name = std::move(name);
  status.brightness = 0.5f;
  return status;
}

// Two displays whose rows take what is written; display 2 refuses once asked to.
class TwoDisplays final : public DisplayCommands {
 public:
  std::vector<DisplayStatus> list() override { return rows; }
  DisplayFailure setBrightness(std::size_t number, float value) override {
    if (number == 2 && refuses) return DisplayFailure::refused;
    rows.at(number - 1).brightness = value;
    return DisplayFailure::none;
  }
  std::optional<DisplayEDIDDetails> info(std::size_t) override { return std::nullopt; }

  std::vector<DisplayStatus> rows{row(1, "LED Cinema Display"), row(2, "Cinema HD Display")};
  bool refuses = false;
};

TEST(LevelFeedbackCommands, ShowsEachChangeTakenAndABurstOverSeveralDisplaysAsOne) {
  TwoDisplays displays;
  std::vector<Shown> shown;
  int built = 0;
  std::chrono::steady_clock::time_point now{std::chrono::seconds(100)};
  FeedbackDisplayCommands commands(
      displays,
      [&] {
        ++built;
        return std::make_unique<RecordedFeedback>(shown);
      },
      "All Displays", [&] { return now; });

  displays.refuses = true;
  EXPECT_EQ(commands.setBrightness(2, 0.9f), DisplayFailure::refused);
  EXPECT_EQ(built, 0) << "nothing is built before a change takes";
  displays.refuses = false;

  // Truncated like the window's percentage: 254/255 is 99 %, not 100 %.
  commands.setBrightness(1, 254.0f / 255.0f);
  now += std::chrono::milliseconds(50);
  commands.setBrightness(2, 0.2f);
  now += FeedbackDisplayCommands::kBurst + std::chrono::milliseconds(1);
  commands.setBrightness(2, 0.3f);

  EXPECT_EQ(shown, (std::vector<Shown>{{"LED Cinema Display", 99}, {"All Displays", 59}, {"Cinema HD Display", 30}}));
  EXPECT_EQ(built, 1);
}

}  // namespace
}  // namespace lumaro::app
