#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "display_control/records/records.hpp"
#include "edid/display_edid.hpp"
#include "edid/edid_parser.hpp"

namespace lumaro {

inline constexpr const char* kUnknownText = "Unknown";

// Details for an EDID read from a display service; `displaySerialNumber` (0 =
// none) is the fallback when the EDID carries no serial number.
DisplayEDIDDetails assembleDisplayServiceDetails(const EDIDParser& parser, std::uint32_t displaySerialNumber);

// Details for an EDID found in a registry dump: colour depth and connection
// type come from the entry; `hidSerialNumber` is the serial-number fallback.
DisplayEDIDDetails assembleRegistryDumpDetails(const EDIDParser& parser, const DisplayEDID& entry,
                                               const std::optional<std::string>& hidSerialNumber);

}  // namespace lumaro
