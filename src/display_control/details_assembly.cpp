#include "display_control/details_assembly.hpp"

namespace lumaro {
namespace {

std::string orUnknown(std::optional<std::string> text) { return text ? std::move(*text) : std::string(kUnknownText); }

// The fields both variants fill the same way; serial number, colour depth and
// connection type are left to the variant.
DisplayEDIDDetails commonDetails(const EDIDParser& parser) {
  DisplayEDIDDetails details;
  details.manufacturer = orUnknown(parser.manufacturer());
  details.productID = orUnknown(parser.productCode());
  details.manufactureDate = orUnknown(parser.manufactureDate());
  details.dimensions = orUnknown(parser.dimensions());
  details.hdcpSupport = parser.hdcpSupport();
  return details;
}

}  // namespace

DisplayEDIDDetails assembleDisplayServiceDetails(const EDIDParser& parser, std::uint32_t displaySerialNumber) {
  DisplayEDIDDetails details = commonDetails(parser);
  if (auto serial = parser.serialNumber()) {
    details.serialNumber = std::move(*serial);
  } else if (displaySerialNumber != 0) {
    details.serialNumber = std::to_string(displaySerialNumber);
  } else {
    details.serialNumber = kUnknownText;
  }
  details.colorDepth = orUnknown(parser.colorDepth());
  details.connectionType = orUnknown(parser.connectionType());
  return details;
}

DisplayEDIDDetails assembleRegistryDumpDetails(const EDIDParser& parser, const DisplayEDID& entry,
                                               const std::optional<std::string>& hidSerialNumber) {
  DisplayEDIDDetails details = commonDetails(parser);
  const auto serial = parser.serialNumber();
  details.serialNumber = orUnknown(serial ? serial : hidSerialNumber);
  // The dump's own depth and connection describe the live link better than the EDID does.
  details.colorDepth =
      entry.colorDepthBpc ? std::to_string(*entry.colorDepthBpc) + " bits per color" : std::string(kUnknownText);
  details.connectionType = entry.connectionType ? *entry.connectionType : orUnknown(parser.connectionType());
  return details;
}

}  // namespace lumaro
