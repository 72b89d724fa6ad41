#pragma once

#include <QString>

#include "cli/bus_names.hpp"
#include "cli/display_commands.hpp"

namespace lumaro::dbus {

// A failure as the interface carries it: "ok", "refused", "not-permitted" or "gone".
QString failureName(DisplayFailure failure);

}  // namespace lumaro::dbus
