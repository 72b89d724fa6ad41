#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaro {

// One EDID blob found in a registry dump. No equality: entries are matched by content.
struct DisplayEDID {
  std::optional<std::string> name;
  std::vector<std::uint8_t> edidData;
  std::optional<std::int64_t> colorDepthBpc;
  std::optional<std::string> connectionType;
};

}  // namespace lumaro
