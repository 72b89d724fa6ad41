#pragma once

// The names of Lumaro's presence on the session bus, shared by the running
// instance and the commands that call it.
namespace lumaro::dbus {

// The application ID: bus name, desktop entry and icon name.
inline constexpr char kApplicationID[] = "io.github.lumaro.Lumaro";
// The demo's own name, so it runs beside a real Lumaro.
inline constexpr char kDemoBusName[] = "io.github.lumaro.Lumaro.Demo";
inline constexpr char kObjectPath[] = "/io/github/lumaro/Lumaro";
inline constexpr char kDisplaysInterface[] = "io.github.lumaro.Lumaro2";
inline constexpr char kApplicationInterface[] = "org.freedesktop.Application";
// The error reply to a call naming a display the instance does not have.
inline constexpr char kNoSuchDisplayError[] = "io.github.lumaro.Lumaro2.Error.NoSuchDisplay";

}  // namespace lumaro::dbus
