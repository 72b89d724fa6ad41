#include "common/tray_launcher.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

namespace lumaro::app {

int execTray(const char* trayName, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    std::cerr << trayName << ": cannot find my own executable: " << error.message() << '\n';
    return 1;
  }
  const std::filesystem::path here = self.parent_path();
  int lastError = ENOENT;
  std::string tried;
  for (const auto& candidate : {here / trayName, here / ".." / "libexec" / "lumaro" / trayName}) {
    ::execv(candidate.c_str(), argv);
    lastError = errno;
    tried += (tried.empty() ? "" : ", ") + candidate.string();
  }
  std::cerr << argv[0] << ": cannot start the tray application (" << tried << "): " << std::strerror(lastError) << '\n';
  return 1;
}

}  // namespace lumaro::app
