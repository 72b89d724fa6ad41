#pragma once

namespace lumaro::app {

// Replaces this process with the tray application `trayName`, looked for
// beside this executable (the build tree) and in ../libexec/lumaro/ (the
// installed layout), with the same arguments. Returns only when that fails,
// after a line on standard error, with exit status 1.
//
// The tray lives in its own executable so that commands, which start no GUI,
// do not pay for loading Qt's GUI libraries either.
int execTray(const char* trayName, char** argv);

}  // namespace lumaro::app
