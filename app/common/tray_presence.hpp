#pragma once

#include <string_view>

#include "adapters/dbus/session_bus_instance.hpp"

namespace lumaro::app {

// Claims the bus name for the tray application. False when another instance
// holds it: that one was asked to show its window, and a line on standard
// error says which it is. Without a session bus the application runs alone.
bool claimBusName(dbus::SessionBusInstance& instance, std::string_view program);

}  // namespace lumaro::app
