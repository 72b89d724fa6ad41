#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "common/hardware_factory.hpp"
#include "ports/device_events.hpp"

namespace lumaro::ui {
class LumaroApp;
}

namespace lumaro::app {

struct TrayApp {
  std::string program;      // in messages: "lumaro"
  QString applicationName;  // Qt's application name
  QString busName;          // the instance's well-known name
  HardwareFactory hardware;
  // Tells of displays coming and going; the model follows them for the whole
  // run, window shown or not. Kept until the application ends.
  std::function<std::shared_ptr<devices::DeviceEvents>()> deviceEvents;
  // Called once the shell has started, before the event loop runs; what it
  // returns is kept until the shell is gone.
  std::function<std::shared_ptr<void>(ui::LumaroApp&)> started;
  // Acts for the user's own session: remembers the levels chosen and puts
  // them back when a display returns, and offers to start at login (files in
  // the user's state and config folders, which the demo leaves alone).
  bool ownsUserSettings = false;
};

// The tray application: the shell over the model, on the session bus unless
// another instance holds the name (then that one is activated and this
// returns 0 at once). Returns the event loop's exit status.
int runTray(const TrayApp& tray, int argc, char** argv);

}  // namespace lumaro::app
