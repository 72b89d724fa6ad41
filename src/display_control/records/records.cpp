#include "display_control/records/records.hpp"

#include <cstdio>

#include "text/canonical_equivalence.hpp"

namespace lumaro {

namespace {

bool sameText(const std::string& a, const std::string& b) { return text::canonicallyEqual(a, b); }

bool sameText(const std::optional<std::string>& a, const std::optional<std::string>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || text::canonicallyEqual(*a, *b);
}

}  // namespace

bool DisplayEDIDDetails::operator==(const DisplayEDIDDetails& o) const {
  return sameText(manufacturer, o.manufacturer) && sameText(productID, o.productID) &&
         sameText(serialNumber, o.serialNumber) && sameText(manufactureDate, o.manufactureDate) &&
         sameText(dimensions, o.dimensions) && sameText(colorDepth, o.colorDepth) &&
         sameText(connectionType, o.connectionType) && sameText(hdcpSupport, o.hdcpSupport);
}

bool DisplayItem::operator==(const DisplayItem& o) const {
  return id == o.id && sameText(name, o.name) && vendorID == o.vendorID && productID == o.productID &&
         sameText(serialNumber, o.serialNumber) && locationID == o.locationID && details == o.details &&
         brightness == o.brightness && brightnessFailure == o.brightnessFailure;
}

BrightnessFailure brightnessFailureFor(hid::IOReturn code) {
  switch (code) {
    case hid::kIOReturnNotPrivileged:
      return BrightnessFailure::kNotPrivileged;
    case hid::kIOReturnNoDevice:
      return BrightnessFailure::kNoDevice;
    default:
      return BrightnessFailure::kError;
  }
}

DisplayItem DisplayItem::from(const AppleDisplay& display, float brightness) {
  DisplayItem item;
  item.id = display.id;
  item.name = display.name.value_or(kUnknownDisplayName);
  item.vendorID = display.vendorID;
  item.productID = display.productID;
  item.serialNumber = display.serialNumber;
  item.locationID = display.locationID;
  item.details = display.edidDetails;
  item.brightness = brightness;
  return item;
}

std::string stableDisplayID(const std::optional<std::string>& serialNumber, std::int64_t vendorID,
                            std::int64_t productID, const std::optional<std::int64_t>& locationID) {
  if (serialNumber && !serialNumber->empty()) return *serialNumber;
  char id[64];
  std::snprintf(id, sizeof id, "%04llx:%04llx", static_cast<unsigned long long>(vendorID),
                static_cast<unsigned long long>(productID));
  std::string text = id;
  if (locationID) {
    std::snprintf(id, sizeof id, "@%08llx", static_cast<unsigned long long>(*locationID));
    text += id;
  }
  return text;
}

}  // namespace lumaro
