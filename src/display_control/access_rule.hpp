#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lumaro {

// The products packaging/udev/70-lumaro.rules gives the seat's user access
// to: the nine Cinema Displays and the displays known to describe their
// brightness. One product per line, never a whole vendor.
bool accessRuleCovers(std::int64_t vendorID, std::int64_t productID);

// The rule line that grants access to one product, written as the shipped
// rule writes its lines.
std::string accessRuleLine(std::int64_t vendorID, std::int64_t productID);

// The line a user must add for a display the shipped rule does not list;
// absent when installing the shipped rule is enough. Where the window and the
// command line explain a refused open.
std::optional<std::string> accessRuleLineToAdd(std::int64_t vendorID, std::int64_t productID);

}  // namespace lumaro
