#pragma once

#include <string>
#include <vector>

#include "ports/child_process.hpp"

namespace lumaro::process {

// Runs a child with posix_spawn (never a PATH search) and two pipes, drains
// both pipes together with poll() so a child that fills one of them first
// cannot stall, then reaps it. A child ended by signal N reports 128 + N, the
// shell convention, so a crash never reads as success. Safe to call from
// several threads at once: every descriptor is close-on-exec, so one child
// never inherits another run's pipe ends.
class PosixProcessLauncher final : public ProcessLauncher {
 public:
  RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override;
};

}  // namespace lumaro::process
