#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace lumaro::ioreg {

// Every diagnostic line of the registry-dump parser speaks for the controller that runs it.
inline constexpr std::string_view kLinePrefix = "RarudoRuroravOduradadur: ";

inline std::string diagnosticLine(std::initializer_list<std::string_view> parts) {
  std::string line(kLinePrefix);
  for (const std::string_view part : parts) line.append(part);
  return line;
}

}  // namespace lumaro::ioreg
