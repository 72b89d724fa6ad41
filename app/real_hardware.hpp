#pragma once

#include <memory>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "ports/line_sink.hpp"

namespace lumaro::app {

// The machine itself: hidapi for displays on the generic HID driver, the
// kernel's backlight devices (set through logind) for displays on its own
// driver, the DRM connectors in sysfs for EDIDs, the system clock.
ControllerPorts realHardware(std::shared_ptr<LineSink> sink);

}  // namespace lumaro::app
