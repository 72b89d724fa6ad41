#pragma once

#include <string_view>

namespace lumaro {

// Where diagnostic lines go. Each call carries one whole line without its
// trailing newline; implementations must accept calls from any thread.
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void writeLine(std::string_view line) = 0;
};

// Drops every line: for callers that want results without diagnostics.
class DiscardingLineSink final : public LineSink {
 public:
  void writeLine(std::string_view) override {}
};

}  // namespace lumaro
