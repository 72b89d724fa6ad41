#include "adapters/posix/replace_file.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace lumaro {

namespace {

std::string errnoText() { return std::strerror(errno); }

bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::optional<std::string> replaceFile(const std::filesystem::path& file, std::string_view content) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return ec.message();
  std::string temporary = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errnoText();
  std::optional<std::string> failure;
  if (!writeAll(fd, content) || ::fsync(fd) != 0) failure = errnoText();
  if (::close(fd) != 0 && !failure) failure = errnoText();
  if (!failure && ::rename(temporary.c_str(), file.c_str()) != 0) failure = errnoText();
  if (failure) ::unlink(temporary.c_str());
  return failure;
}

std::optional<std::string> readSmallFile(const std::filesystem::path& file, std::string& error) {
  error.clear();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec) && !ec) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = errnoText();
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    error = "read error";
    return std::nullopt;
  }
  return content.str();
}

std::optional<std::filesystem::path> xdgDirectory(const char* variable, const char* underHome) {
  if (const char* value = std::getenv(variable); value && value[0] == '/') return std::filesystem::path(value);
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::filesystem::path(home) / underHome;
  return std::nullopt;
}

std::optional<std::filesystem::path> xdgFile(const char* variable, const char* underHome,
                                             const std::filesystem::path& inside) {
  const auto directory = xdgDirectory(variable, underHome);
  if (!directory) return std::nullopt;
  return *directory / inside;
}

}  // namespace lumaro
