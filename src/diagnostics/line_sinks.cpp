#include "diagnostics/line_sinks.hpp"

#include <unistd.h>

#include <cerrno>

namespace lumaro {

void StdoutLineSink::writeLine(std::string_view line) {
  std::string whole;
  whole.reserve(line.size() + 1);
  whole.append(line);
  whole.push_back('\n');
  const char* data = whole.data();
  size_t left = whole.size();
  // A single write keeps the line whole; the loop only finishes a short write to a pipe.
  while (left > 0) {
    const ssize_t written = ::write(STDOUT_FILENO, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // stdout closed: diagnostics are best effort
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
}

void VectorLineSink::writeLine(std::string_view line) {
  std::lock_guard lock(mutex_);
  lines_.emplace_back(line);
}

std::vector<std::string> VectorLineSink::lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::vector<std::string> VectorLineSink::take() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  out.swap(lines_);
  return out;
}

}  // namespace lumaro
