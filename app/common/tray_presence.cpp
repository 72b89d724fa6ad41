#include "common/tray_presence.hpp"

#include <iostream>

namespace lumaro::app {

BusNameClaim claimBusName(dbus::SessionBusInstance& instance, std::string_view program) {
  const auto claim = instance.claim();
  switch (claim.role) {
    case dbus::SessionBusInstance::Role::primary:
      return BusNameClaim::ours;
    case dbus::SessionBusInstance::Role::secondary:
      std::cerr << program << ": Lumaro is already running (" << instance.busName().toStdString();
      if (claim.ownerPid) std::cerr << ", pid " << *claim.ownerPid;
      if (!claim.ownerAnswered) {
        std::cerr << ") but did not answer within 2 s; it may be stopped or hung\n";
        return BusNameClaim::otherHung;
      }
      std::cerr << "); showing its window\n";
      return BusNameClaim::activatedOther;
    case dbus::SessionBusInstance::Role::noBus:
      std::cerr << program << ": no session bus (" << claim.error.toStdString()
                << "); running alone, and commands act on the displays directly\n";
      return BusNameClaim::ours;
  }
  return BusNameClaim::ours;
}

}  // namespace lumaro::app
