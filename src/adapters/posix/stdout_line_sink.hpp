#pragma once

#include <string_view>

#include "ports/line_sink.hpp"

namespace lumaro {

// Standard output, one write(2) per line so lines from two threads never interleave.
class StdoutLineSink final : public LineSink {
 public:
  void writeLine(std::string_view line) override;
};

}  // namespace lumaro
