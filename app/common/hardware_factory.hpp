#pragma once

#include <functional>
#include <memory>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "ports/line_sink.hpp"

namespace lumaro::app {

// The machine the displays are driven on: the real one, or the demo's.
using HardwareFactory = std::function<ControllerPorts(std::shared_ptr<LineSink>)>;

}  // namespace lumaro::app
