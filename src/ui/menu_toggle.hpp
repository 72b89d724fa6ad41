#pragma once

#include <QString>
#include <functional>

namespace lumaro::ui {

// A checkable entry of the tray item's menu. `isOn` is asked each time the
// menu is built; `setOn` runs with the state the user picked.
struct MenuToggle {
  QString text;
  std::function<bool()> isOn;
  std::function<void(bool)> setOn;
};

// "Restore brightness when a display returns".
MenuToggle restoreOnReturnToggle(std::function<bool()> isOn, std::function<void(bool)> setOn);
// "Start at Login".
MenuToggle startAtLoginToggle(std::function<bool()> isOn, std::function<void(bool)> setOn);

}  // namespace lumaro::ui
