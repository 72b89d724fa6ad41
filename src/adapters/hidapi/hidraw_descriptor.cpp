#include "adapters/hidapi/hidraw_descriptor.hpp"

#include <fstream>
#include <iterator>

namespace lumaro::hid {

namespace {

// The kernel never exposes more than HID_MAX_DESCRIPTOR_SIZE bytes; one more
// lets the parser see an oversized file for what it is.
constexpr std::streamsize kReadLimit = 4097;

}  // namespace

std::optional<std::vector<std::uint8_t>> hidrawReportDescriptor(const std::filesystem::path& sysfsRoot,
                                                                std::string_view devicePath) {
  const std::string node = std::filesystem::path(devicePath).filename().string();
  if (!node.starts_with("hidraw")) return std::nullopt;
  std::ifstream in(sysfsRoot / "class" / "hidraw" / node / "device" / "report_descriptor", std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<char> bytes(static_cast<std::size_t>(kReadLimit));
  in.read(bytes.data(), kReadLimit);
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace lumaro::hid
