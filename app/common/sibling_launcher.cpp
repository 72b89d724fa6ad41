#include "common/sibling_launcher.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace lumaro::app {

std::string execSibling(const char* name, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::string("cannot find my own executable: ") + error.message();
  const std::filesystem::path here = self.parent_path();
  int lastError = ENOENT;
  std::string tried;
  for (const auto& candidate : {here / name, here / ".." / "libexec" / "lumaro" / name}) {
    ::execv(candidate.c_str(), argv);
    lastError = errno;
    tried += (tried.empty() ? "" : ", ") + candidate.string();
  }
  return std::string("cannot start ") + name + " (" + tried + "): " + std::strerror(lastError);
}

}  // namespace lumaro::app
