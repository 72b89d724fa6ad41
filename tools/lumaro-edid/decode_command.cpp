#include <array>
#include <string_view>
#include <utility>

#include "commands.hpp"
#include "display_control/details_assembly.hpp"
#include "edid/edid_parser.hpp"
#include "adapters/posix/file_bytes.hpp"

namespace lumaro::tools {
namespace {

// Why construction refused the bytes; the parser itself only says that it did.
std::string rejectionReason(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 128) {
    return "holds " + std::to_string(bytes.size()) + " bytes, fewer than the 128 of an EDID base block";
  }
  return "does not start with the EDID header (bytes 0, 1 and 7 must be 00, FF and 00)";
}

}  // namespace

int runDecode(const std::string& path, std::FILE* out, std::FILE* err) {
  std::string error;
  const auto file = FileBytes::read(path, error);
  if (!file) {
    std::fprintf(err, "lumaro-edid: cannot read %s: %s\n", path.c_str(), error.c_str());
    return kExitUsage;
  }
  const auto parser = EDIDParser::make(file->bytes());
  if (!parser) {
    std::fprintf(err, "lumaro-edid: %s %s\n", path.c_str(), rejectionReason(file->bytes()).c_str());
    return kExitNoEdid;
  }
  const DisplayEDIDDetails details = assembleDisplayServiceDetails(*parser, 0);
  const std::array<std::pair<std::string_view, const std::string*>, 8> rows = {{
      {"Manufacturer", &details.manufacturer},
      {"Product ID", &details.productID},
      {"Serial Number", &details.serialNumber},
      {"Manufacturing Date", &details.manufactureDate},
      {"Dimensions", &details.dimensions},
      {"Color Depth", &details.colorDepth},
      {"Connection Type", &details.connectionType},
      {"HDCP Support", &details.hdcpSupport},
  }};
  for (const auto& [title, value] : rows) {
    std::fprintf(out, "%.*s: %s\n", static_cast<int>(title.size()), title.data(), value->c_str());
  }
  return kExitOk;
}

}  // namespace lumaro::tools
