#include "adapters/hidapi/hidraw_location.hpp"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string>
#include <system_error>

namespace lumaro::hid {

namespace {

constexpr int kMaxPortLevels = 6;  // six nibbles below the bus byte
constexpr std::int64_t kMaxPort = 0xF;
constexpr std::int64_t kMaxBus = 0xFF;

std::optional<std::int64_t> parseUnsigned(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

std::optional<std::string> firstLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return line;
}

}  // namespace

std::optional<std::int64_t> packLocationID(std::int64_t busNumber, std::string_view ports) {
  if (busNumber < 1 || busNumber > kMaxBus) return std::nullopt;
  std::int64_t location = busNumber << 24;
  if (ports == "0") return location;  // the root hub itself

  int level = 0;
  while (true) {
    const auto dot = ports.find('.');
    const auto port = parseUnsigned(ports.substr(0, dot));
    if (!port || *port < 1 || *port > kMaxPort || level == kMaxPortLevels) return std::nullopt;
    location |= *port << (20 - 4 * level);
    ++level;
    if (dot == std::string_view::npos) break;
    ports.remove_prefix(dot + 1);
  }
  return location;
}

std::optional<std::int64_t> usbLocationID(const std::filesystem::path& sysfsRoot, std::string_view devicePath) {
  const std::string node = std::filesystem::path(devicePath).filename().string();
  if (!node.starts_with("hidraw")) return std::nullopt;

  std::error_code error;
  const auto root = std::filesystem::canonical(sysfsRoot, error);
  if (error) return std::nullopt;
  auto dir = std::filesystem::canonical(sysfsRoot / "class" / "hidraw" / node, error);
  if (error) return std::nullopt;
  const auto [rootEnd, dirEnd] = std::mismatch(root.begin(), root.end(), dir.begin(), dir.end());
  if (rootEnd != root.end()) return std::nullopt;  // resolves outside the sysfs tree

  // Walk up from the hidraw entry, never leaving the sysfs tree.
  for (; dir != root && dir != dir.parent_path(); dir = dir.parent_path()) {
    const auto bus = firstLine(dir / "busnum");
    const auto ports = firstLine(dir / "devpath");
    if (!bus || !ports) continue;
    const auto busNumber = parseUnsigned(*bus);
    if (!busNumber) return std::nullopt;
    return packLocationID(*busNumber, *ports);
  }
  return std::nullopt;
}

}  // namespace lumaro::hid
