#pragma once

#include <string_view>

#include "adapters/dbus/session_bus_instance.hpp"

namespace lumaro::app {

enum class BusNameClaim {
  ours,            // this process is the instance (or runs alone without a bus)
  activatedOther,  // another instance holds the name and showed its window
  otherHung,       // another instance holds the name and did not answer
};

// Claims the bus name for the tray application. When another instance holds
// it, that one is asked to show its window, and a line on standard error says
// which it is and whether it did. Without a session bus the application runs alone.
BusNameClaim claimBusName(dbus::SessionBusInstance& instance, std::string_view program);

}  // namespace lumaro::app
