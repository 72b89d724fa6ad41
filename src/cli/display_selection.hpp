#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/display_commands.hpp"

namespace lumaro::cli {

// The displays `selector` names among `displays`: every one when it is
// absent, else the one with that number, id or serial number. Otherwise an
// error whose message names the selector and tells `program list` to look.
Answer<std::vector<DisplayStatus>> selectDisplays(const std::vector<DisplayStatus>& displays,
                                                  const std::optional<std::string>& selector,
                                                  std::string_view program);

}  // namespace lumaro::cli
