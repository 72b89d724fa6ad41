#pragma once

#include <filesystem>

#include "ports/hid.hpp"

namespace lumaro::hid {

// IOKit-style code for an errno left by a hidraw call: permission problems
// and vanished devices keep their meaning, everything else is a plain error.
IOReturn ioReturnForErrno(int error);

// Why opening the hidraw node failed. hidapi does not promise a meaningful
// errno after a failed open, so the node itself is asked first: a missing node
// means no device, one we may not read and write means no privilege; only when
// the node looks usable does the errno saved right after the open decide.
IOReturn openFailureCode(const std::filesystem::path& node, int savedErrno);

// Why a report on an open node failed: a node that has disappeared means the
// device was unplugged, otherwise the saved errno decides.
IOReturn reportFailureCode(const std::filesystem::path& node, int savedErrno);

}  // namespace lumaro::hid
