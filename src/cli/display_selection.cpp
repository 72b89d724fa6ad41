#include "cli/display_selection.hpp"

#include <algorithm>
#include <cstdio>

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

std::string stableDisplayID(const DisplayItem& item) {
  if (item.serialNumber && !item.serialNumber->empty()) return *item.serialNumber;
  char id[64];
  std::snprintf(id, sizeof id, "%04llx:%04llx", static_cast<unsigned long long>(item.vendorID),
                static_cast<unsigned long long>(item.productID));
  std::string text = id;
  if (item.locationID) {
    std::snprintf(id, sizeof id, "@%08llx", static_cast<unsigned long long>(*item.locationID));
    text += id;
  }
  return text;
}

}  // namespace lumaro::cli
