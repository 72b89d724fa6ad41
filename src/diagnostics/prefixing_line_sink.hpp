#pragma once

#include <string>
#include <string_view>

#include "ports/line_sink.hpp"

namespace lumaro {

// Puts one fixed prefix in front of every line, so a component that speaks in
// another's name (the registry-dump parser for the controller) never spells it.
class PrefixingLineSink final : public LineSink {
 public:
  // `target` must outlive this sink.
  PrefixingLineSink(LineSink& target, std::string prefix) : target_(target), prefix_(std::move(prefix)) {}

  void writeLine(std::string_view line) override {
    std::string whole;
    whole.reserve(prefix_.size() + line.size());
    whole.append(prefix_).append(line);
    target_.writeLine(whole);
  }

 private:
  LineSink& target_;
  const std::string prefix_;
};

}  // namespace lumaro
