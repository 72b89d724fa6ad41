#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "edid/edid_layout.hpp"

// The identity numbers a display reports for itself, taken from its EDID base
// block the way the online-display query presents them. Shared by the display
// services adapters so the real and the simulated one agree.
namespace lumaro::displays {

struct EdidIdentity {
  std::uint32_t vendor = 0;  // manufacturer ID, big-endian (0x0610 for Apple)
  std::uint32_t model = 0;   // product code, little-endian
  std::uint32_t serial = 0;  // serial number, little-endian; 0 = none
};

// Absent unless `edid` holds a whole base block that starts with the full header.
inline std::optional<EdidIdentity> edidIdentity(std::span<const std::uint8_t> edid) {
  using namespace edid_layout;
  if (edid.size() < kBlockSize) return std::nullopt;
  if (!std::equal(kHeader.begin(), kHeader.end(), edid.begin())) return std::nullopt;
  const auto byte = [&](std::size_t offset) { return static_cast<std::uint32_t>(edid[offset]); };
  EdidIdentity identity;
  identity.vendor = byte(kManufacturerName) << 8 | byte(kManufacturerName + 1);
  identity.model = byte(kProductCode) | byte(kProductCode + 1) << 8;
  identity.serial = byte(kSerialNumber) | byte(kSerialNumber + 1) << 8 | byte(kSerialNumber + 2) << 16 |
                    byte(kSerialNumber + 3) << 24;
  return identity;
}

}  // namespace lumaro::displays
