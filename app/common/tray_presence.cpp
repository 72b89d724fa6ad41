#include "common/tray_presence.hpp"

#include <iostream>

namespace lumaro::app {

bool claimBusName(dbus::SessionBusInstance& instance, std::string_view program) {
  const auto claim = instance.claim();
  switch (claim.role) {
    case dbus::SessionBusInstance::Role::primary:
      return true;
    case dbus::SessionBusInstance::Role::secondary:
      std::cerr << program << ": Lumaro is already running (" << instance.busName().toStdString();
      if (claim.ownerPid) std::cerr << ", pid " << *claim.ownerPid;
      std::cerr << "); showing its window\n";
      return false;
    case dbus::SessionBusInstance::Role::noBus:
      std::cerr << program << ": no session bus (" << claim.error.toStdString()
                << "); running alone, and commands act on the displays directly\n";
      return true;
  }
  return true;
}

}  // namespace lumaro::app
