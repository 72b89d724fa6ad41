#include "adapters/simulated/line_sinks.hpp"

namespace lumaro {

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
