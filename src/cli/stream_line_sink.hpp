#pragma once

#include <mutex>
#include <ostream>

#include "ports/line_sink.hpp"

namespace lumaro::cli {

// Diagnostic lines onto a stream (standard error with --verbose), one whole
// line at a time from any thread.
class StreamLineSink final : public LineSink {
 public:
  explicit StreamLineSink(std::ostream& stream) : stream_(stream) {}
  void writeLine(std::string_view line) override {
    const std::lock_guard lock(mutex_);
    stream_ << line << '\n';
  }

 private:
  std::mutex mutex_;
  std::ostream& stream_;
};

}  // namespace lumaro::cli
