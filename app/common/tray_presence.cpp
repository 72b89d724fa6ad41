#include "common/tray_presence.hpp"

#include <cstdio>
#include <string>

namespace lumaro::app {
namespace {

// stdio rather than iostreams: a file including <iostream> sets up every
// stream's locale facets at start, a quarter megabyte of library pages the
// tray otherwise never touches.
void say(const std::string& line) { std::fputs(line.c_str(), stderr); }

}  // namespace

BusNameClaim claimBusName(dbus::SessionBusInstance& instance, std::string_view program) {
  const auto claim = instance.claim();
  switch (claim.role) {
    case dbus::SessionBusInstance::Role::primary:
      return BusNameClaim::ours;
    case dbus::SessionBusInstance::Role::secondary:
      say(std::string(program) + ": Lumaro is already running (" + instance.busName().toStdString() +
          (claim.ownerPid ? ", pid " + std::to_string(*claim.ownerPid) : std::string()));
      if (!claim.ownerAnswered) {
        say(") but did not answer within 2 s; it may be stopped or hung\n");
        return BusNameClaim::otherHung;
      }
      say("); showing its window\n");
      return BusNameClaim::activatedOther;
    case dbus::SessionBusInstance::Role::noBus:
      say(std::string(program) + ": no session bus (" + claim.error.toStdString() +
          "); running alone, and commands act on the displays directly\n");
      return BusNameClaim::ours;
  }
  return BusNameClaim::ours;
}

}  // namespace lumaro::app
