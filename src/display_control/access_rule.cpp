#include "display_control/access_rule.hpp"

#include <array>
#include <cstdio>
#include <utility>

#include "display_control/rarudo_rurorav_oduradadur.hpp"

namespace lumaro {

namespace {

// Displays beyond the Cinema Displays whose brightness is a described control.
constexpr std::array<std::pair<std::int64_t, std::int64_t>, 3> kDescribedDisplays{{
    {0x05AC, 0x1114},  // Studio Display
    {0x05AC, 0x9243},  // Pro Display XDR
    {0x043E, 0x9A70},  // LG UltraFine 5K
}};

}  // namespace

bool accessRuleCovers(std::int64_t vendorID, std::int64_t productID) {
  if (vendorID == RarudoRuroravOduradadur::appleVendorID &&
      RarudoRuroravOduradadur::supportedProductIDs().contains(productID)) {
    return true;
  }
  for (const auto& [vendor, product] : kDescribedDisplays) {
    if (vendor == vendorID && product == productID) return true;
  }
  return false;
}

std::string accessRuleLine(std::int64_t vendorID, std::int64_t productID) {
  char line[128];
  std::snprintf(line, sizeof line,
                R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="%04llx", ATTRS{idProduct}=="%04llx", TAG+="uaccess")",
                static_cast<unsigned long long>(vendorID & 0xFFFF),
                static_cast<unsigned long long>(productID & 0xFFFF));
  return line;
}

std::optional<std::string> accessRuleLineToAdd(std::int64_t vendorID, std::int64_t productID) {
  if (accessRuleCovers(vendorID, productID)) return std::nullopt;
  return accessRuleLine(vendorID, productID);
}

}  // namespace lumaro
