#include "adapters/posix/stdout_line_sink.hpp"

#include <unistd.h>

#include <cerrno>
#include <string>

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

}  // namespace lumaro
