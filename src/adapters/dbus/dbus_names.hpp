#pragma once

#include <QString>

#include "cli/display_commands.hpp"

// The names of Lumaro's presence on the session bus.
namespace lumaro::dbus {

// The application ID: bus name, desktop entry and icon name.
inline constexpr char kApplicationID[] = "io.github.lumaro.Lumaro";
// The demo's own name, so it runs beside a real Lumaro.
inline constexpr char kDemoBusName[] = "io.github.lumaro.Lumaro.Demo";
inline constexpr char kObjectPath[] = "/io/github/lumaro/Lumaro";
inline constexpr char kDisplaysInterface[] = "io.github.lumaro.Lumaro1";
inline constexpr char kApplicationInterface[] = "org.freedesktop.Application";

// A failure as the interface carries it: "ok", "refused", "not-permitted",
// "gone" or "unreachable"; an unknown word reads as "refused".
QString failureName(DisplayFailure failure);
DisplayFailure failureFromName(const QString& name);

}  // namespace lumaro::dbus
