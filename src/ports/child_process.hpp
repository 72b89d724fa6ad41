#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// Runs a child process with two pipes and collects everything it writes.
namespace lumaro::process {

struct Completed {
  std::vector<std::uint8_t> standardOutput;
  std::vector<std::uint8_t> standardError;
  // Exit status; a child ended by a signal yields a non-zero status.
  std::int32_t status = 0;
};

struct LaunchFailed {
  std::string description;  // textual description of why the launch failed
};

using RunResult = std::variant<Completed, LaunchFailed>;

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;

  // Starts `executable` (an absolute path, never searched in PATH) with
  // `arguments`, drains both pipes to their ends and waits for the exit.
  // Standard input, working directory and environment are inherited.
  virtual RunResult run(const std::string& executable, const std::vector<std::string>& arguments) = 0;
};

}  // namespace lumaro::process
