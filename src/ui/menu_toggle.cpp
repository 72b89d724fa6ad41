#include "ui/menu_toggle.hpp"

#include <QCoreApplication>
#include <utility>

namespace lumaro::ui {

MenuToggle restoreOnReturnToggle(std::function<bool()> isOn, std::function<void(bool)> setOn) {
  return {QCoreApplication::translate("lumaro::ui::LumaroApp", "Restore brightness when a display returns"),
          std::move(isOn), std::move(setOn)};
}

MenuToggle startAtLoginToggle(std::function<bool()> isOn, std::function<void(bool)> setOn) {
  return {QCoreApplication::translate("lumaro::ui::LumaroApp", "Start at Login"), std::move(isOn), std::move(setOn)};
}

}  // namespace lumaro::ui
