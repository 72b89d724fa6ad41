#include "cli/display_selection.hpp"

#include <algorithm>

namespace lumaro::cli {

Answer<std::vector<DisplayStatus>> selectDisplays(const std::vector<DisplayStatus>& displays,
                                                  const std::optional<std::string>& selector,
                                                  std::string_view program) {
  if (!selector) {
    if (displays.empty()) return CommandError{CommandError::Kind::noSuchDisplay, "no Apple display found"};
    return displays;
  }
  const std::string& wanted = *selector;
  const bool numeric = !wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos;
  if (numeric && wanted.size() <= 3) {
    const auto number = static_cast<std::size_t>(std::stoul(wanted));
    if (number >= 1 && number <= displays.size()) return std::vector{displays[number - 1]};
  }
  // Not a number in range: perhaps an id, or a serial number made of digits.
  const auto named = std::find_if(displays.begin(), displays.end(), [&](const DisplayStatus& d) {
    return d.id == wanted || d.serialNumber == wanted;
  });
  if (named != displays.end()) return std::vector{*named};
  return CommandError{CommandError::Kind::noSuchDisplay,
                      "no display '" + wanted + "' (" + std::to_string(displays.size()) +
                          (displays.size() == 1 ? " display" : " displays") + " attached; see '" +
                          std::string(program) + " list')"};
}

}  // namespace lumaro::cli
