#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "edid/display_edid.hpp"
#include "ports/line_sink.hpp"

namespace lumaro {

// Turns registry-dump text (UTF-8) into the EDID blobs it holds, in text order.
// Writes its diagnostic lines, unprefixed, to `sink`; never fails.
std::vector<DisplayEDID> parseIoregOutput(std::string_view text, LineSink& sink);

// Hexadecimal digits (spaces ignored) to bytes; a trailing odd digit is the
// low nibble of a last byte. Absent (with one diagnostic line) on a bad digit
// pair, absent (silently) when there is no byte.
std::optional<std::vector<std::uint8_t>> hexStringToData(std::string_view hex, LineSink& sink);

}  // namespace lumaro
