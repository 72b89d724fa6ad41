#pragma once

#include <string>

namespace lumaro::app {

// Replaces this process with the executable `name`, looked for beside this
// one (the build tree) and in ../libexec/lumaro/ (the installed layout), with
// the same arguments. Returns only when that fails, with the reason.
//
// The tray and the direct command line live in executables of their own so
// that a command answered by the running instance loads neither Qt's GUI
// libraries nor the libraries that drive the hardware.
std::string execSibling(const char* name, char** argv);

}  // namespace lumaro::app
