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

bool claimBusName(dbus::SessionBusInstance& instance, std::string_view program) {
  const auto claim = instance.claim();
  switch (claim.role) {
    case dbus::SessionBusInstance::Role::primary:
      return true;
    case dbus::SessionBusInstance::Role::secondary:
      say(std::string(program) + ": Lumaro is already running (" + instance.busName().toStdString() +
          (claim.ownerPid ? ", pid " + std::to_string(*claim.ownerPid) : std::string()) + "); showing its window\n");
      return false;
    case dbus::SessionBusInstance::Role::noBus:
      say(std::string(program) + ": no session bus (" + claim.error.toStdString() +
          "); running alone, and commands act on the displays directly\n");
      return true;
  }
  return true;
}

}  // namespace lumaro::app
