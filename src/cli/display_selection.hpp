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

// The id a display keeps across refreshes: its serial number, or, without
// one, its vendor, product and USB location ("05ac:9221@14200000").
std::string stableDisplayID(const DisplayItem& item);

}  // namespace lumaro::cli
