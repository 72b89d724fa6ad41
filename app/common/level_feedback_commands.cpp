#include "common/level_feedback_commands.hpp"

#include "ui/percent_format.hpp"

namespace lumaro::app {

DisplayFailure FeedbackDisplayCommands::setBrightness(std::size_t number, float value) {
  const DisplayFailure failure = commands_.setBrightness(number, value);
  if (failure == DisplayFailure::none) show(number, value);
  return failure;
}

void FeedbackDisplayCommands::show(std::size_t number, float value) {
  const auto now = now_();
  if (now - lastChange_ > kBurst) burst_.clear();
  lastChange_ = now;
  burst_.insert(number);

  // The rows as the window now shows them, the new level included.
  std::optional<std::string> title;
  float sum = 0.0f;
  int counted = 0;
  for (const DisplayStatus& display : commands_.list()) {
    const bool changedNow = display.number == number;
    const std::optional<float> level = changedNow ? display.brightness.value_or(value) : display.brightness;
    if (burst_.count(display.number) == 0 || !level) continue;
    if (changedNow) title = display.name;
    sum += *level;
    ++counted;
  }
  if (!title) return;  // gone between the write and the list: nothing to show
  if (burst_.size() > 1) title = allDisplaysTitle_;
  if (!feedback_) feedback_ = makeFeedback_();
  feedback_->show(*title, ui::brightnessPercent(sum / static_cast<float>(counted)));
}

}  // namespace lumaro::app
