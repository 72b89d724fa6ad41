// EDIDParser and both assemblies on arbitrary bytes; the tail of the input
// also supplies the registry-dump entry and the serial-number fallbacks.

#include <cstdlib>
#include <string>

#include "display_control/details_assembly.hpp"
#include "edid/edid_parser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaro;
  const std::span<const std::uint8_t> bytes(data, size);
  const auto parser = EDIDParser::make(bytes);
  const bool header = size >= 128 && data[0] == 0x00 && data[1] == 0xFF && data[7] == 0x00;
  if (parser.has_value() != header) std::abort();
  if (!parser) return 0;

  if (const auto letters = parser->manufacturer()) {
    if (letters->size() != 3) std::abort();
    for (const char c : *letters) {
      if (c < 'A' || c > 'Z') std::abort();
    }
  }
  const std::uint8_t last = data[size - 1];
  DisplayEDID entry;
  entry.edidData.assign(data, data + size);
  if (last & 1) entry.colorDepthBpc = last;
  if (last & 2) entry.connectionType = std::string(reinterpret_cast<const char*>(data) + 128, (size - 128) % 16);
  const std::optional<std::string> hidSerial = (last & 4) ? std::optional<std::string>("C02") : std::nullopt;

  const DisplayEDIDDetails fromService = assembleDisplayServiceDetails(*parser, last);
  const DisplayEDIDDetails fromDump = assembleRegistryDumpDetails(*parser, entry, hidSerial);
  // Both variants share every field but serial number, colour depth and connection type.
  if (fromService.manufacturer != fromDump.manufacturer || fromService.productID != fromDump.productID ||
      fromService.manufactureDate != fromDump.manufactureDate || fromService.dimensions != fromDump.dimensions ||
      fromService.hdcpSupport != fromDump.hdcpSupport) {
    std::abort();
  }
  return 0;
}
