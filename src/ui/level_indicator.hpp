#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "ports/level_feedback.hpp"
#include "ports/timer.hpp"

namespace lumaro::ui {

class LevelIndicatorPanel;

// The on-screen brightness indicator for desktops where we place our own
// windows: a small panel near the bottom centre of the screen holding the
// pointer, with the display's name, a level bar and the percentage. It takes
// neither focus nor clicks, and goes after kShownFor; a change while it shows
// updates it in place and keeps it up for another kShownFor.
class LevelIndicator final : public LevelFeedback {
 public:
  static constexpr std::chrono::milliseconds kShownFor{1500};

  explicit LevelIndicator(std::unique_ptr<OneShotTimer> hideTimer);
  ~LevelIndicator() override;

  void show(const std::string& title, int percent) override;

  QWidget* window() const;

 private:
  std::unique_ptr<LevelIndicatorPanel> window_;
  std::unique_ptr<OneShotTimer> hideTimer_;
};

}  // namespace lumaro::ui
