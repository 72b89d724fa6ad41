#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ports/line_sink.hpp"

namespace lumaro {

// Keeps every line, for tests that read the diagnostics back.
class VectorLineSink final : public LineSink {
 public:
  void writeLine(std::string_view line) override;
  std::vector<std::string> lines() const;
  // Returns the lines collected so far and forgets them.
  std::vector<std::string> take();

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace lumaro
