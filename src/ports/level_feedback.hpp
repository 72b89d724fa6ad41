#pragma once

#include <string>

namespace lumaro {

// Shows the user a brightness that changed without the window (a brightness
// key, a script), wherever the desktop lets us: an on-screen indicator, or a
// desktop notification.
class LevelFeedback {
 public:
  virtual ~LevelFeedback() = default;
  // `title` (UTF-8) names the display, or all of them; `percent` (0-100) is
  // the level as the window shows it. A later call replaces what is shown.
  virtual void show(const std::string& title, int percent) = 0;
};

}  // namespace lumaro
