#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace lumaro::ioreg {

// One diagnostic line from its pieces; whose voice it speaks in is the sink's business.
inline std::string diagnosticLine(std::initializer_list<std::string_view> parts) {
  std::string line;
  for (const std::string_view part : parts) line.append(part);
  return line;
}

}  // namespace lumaro::ioreg
