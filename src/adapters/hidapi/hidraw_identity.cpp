#include "adapters/hidapi/hidraw_identity.hpp"

#include <charconv>
#include <fstream>
#include <string>
#include <system_error>

#include "adapters/hidapi/hidraw_location.hpp"

namespace lumaro::hid {

namespace {

std::optional<std::int64_t> parseHex(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "0003:000005AC:00009226": bus, vendor, product.
bool parseHidID(std::string_view value, NodeIdentity& identity) {
  const auto first = value.find(':');
  const auto second = value.find(':', first == std::string_view::npos ? first : first + 1);
  if (first == std::string_view::npos || second == std::string_view::npos) return false;
  const auto vendor = parseHex(value.substr(first + 1, second - first - 1));
  const auto product = parseHex(value.substr(second + 1));
  if (!vendor || !product) return false;
  identity.vendorID = *vendor;
  identity.productID = *product;
  return true;
}

}  // namespace

std::optional<NodeIdentity> nodeIdentity(const std::filesystem::path& sysfsRoot, std::string_view devicePath) {
  const std::string node = std::filesystem::path(devicePath).filename().string();
  if (!node.starts_with("hidraw")) return std::nullopt;
  std::ifstream uevent(sysfsRoot / "class" / "hidraw" / node / "device" / "uevent");
  if (!uevent) return std::nullopt;

  NodeIdentity identity;
  bool haveID = false;
  for (std::string line; std::getline(uevent, line);) {
    const std::string_view entry(line);
    if (entry.starts_with("HID_ID=")) haveID = parseHidID(entry.substr(7), identity);
    if (entry.starts_with("HID_UNIQ=") && entry.size() > 9) identity.serialNumber = std::string(entry.substr(9));
  }
  if (!haveID) return std::nullopt;
  identity.locationID = usbLocationID(sysfsRoot, devicePath);
  return identity;
}

bool sameDevice(const NodeIdentity& then, const NodeIdentity& now) {
  if (then.vendorID != now.vendorID || then.productID != now.productID) return false;
  if (then.serialNumber) return then.serialNumber == now.serialNumber;
  if (then.locationID) return then.locationID == now.locationID;
  return true;
}

}  // namespace lumaro::hid
