#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_sink.hpp"

namespace lumaro {

// Standard output, one write(2) per line so lines from two threads never interleave.
class StdoutLineSink final : public LineSink {
 public:
  void writeLine(std::string_view line) override;
};

// Keeps every line; used by tests and by tools that post-process diagnostics.
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

// Drops everything; for benchmarks.
class DiscardingLineSink final : public LineSink {
 public:
  void writeLine(std::string_view) override {}
};

}  // namespace lumaro
