#include "common/level_feedback_commands.hpp"

#include "ui/percent_format.hpp"

namespace lumaro::app {

Answer<std::vector<WriteOutcome>> FeedbackDisplayCommands::setBrightness(const std::optional<std::string>& selector,
                                                                         const cli::BrightnessValue& value) {
  auto answer = commands_.setBrightness(selector, value);
  if (const auto* outcomes = std::get_if<std::vector<WriteOutcome>>(&answer)) show(*outcomes);
  return answer;
}

void FeedbackDisplayCommands::show(const std::vector<WriteOutcome>& outcomes) {
  // Only what a display took: a refused write or an unread start shows nothing.
  const std::string* title = nullptr;
  float sum = 0.0f;
  int taken = 0;
  for (const WriteOutcome& outcome : outcomes) {
    if (outcome.failure != DisplayFailure::none || outcome.failedRead || !outcome.display.brightness) continue;
    title = &outcome.display.name;
    sum += *outcome.display.brightness;
    ++taken;
  }
  if (taken == 0) return;
  if (!feedback_) feedback_ = makeFeedback_();
  feedback_->show(taken > 1 ? allDisplaysTitle_ : *title, ui::brightnessPercent(sum / static_cast<float>(taken)));
}

}  // namespace lumaro::app
