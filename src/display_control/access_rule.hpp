#pragma once

#include <cstdint>
#include <string>

namespace lumaro {

// The products packaging/udev/70-lumaro.rules gives the seat's user access
// to: the nine Cinema Displays and the displays known to describe their
// brightness. One product per line, never a whole vendor.
bool accessRuleCovers(std::int64_t vendorID, std::int64_t productID);

// The rule line that grants access to one product, written as the shipped
// rule writes its lines.
std::string accessRuleLine(std::int64_t vendorID, std::int64_t productID);

}  // namespace lumaro
