#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The identity numbers a display reports for itself, taken from its EDID base
// block the way the online-display query presents them. Shared by the display
// services adapters so the real and the simulated one agree.
namespace lumaro::displays {

struct EdidIdentity {
  std::uint32_t vendor = 0;  // manufacturer ID, bytes 8-9 big-endian (0x0610 for Apple)
  std::uint32_t model = 0;   // product code, bytes 10-11 little-endian
  std::uint32_t serial = 0;  // serial number, bytes 12-15 little-endian; 0 = none
};

inline constexpr std::size_t kEdidBaseBlockSize = 128;

// VESA E-EDID 1.3/1.4, section 3.3: the fixed 8-byte header pattern.
inline constexpr std::array<std::uint8_t, 8> kEdidHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

// Absent unless `edid` holds a whole base block that starts with the header.
inline std::optional<EdidIdentity> edidIdentity(std::span<const std::uint8_t> edid) {
  if (edid.size() < kEdidBaseBlockSize) return std::nullopt;
  for (std::size_t i = 0; i < kEdidHeader.size(); ++i) {
    if (edid[i] != kEdidHeader[i]) return std::nullopt;
  }
  // Section 3.4: vendor and product identification, bytes 8-17.
  EdidIdentity identity;
  identity.vendor = static_cast<std::uint32_t>(edid[8]) << 8 | edid[9];
  identity.model = static_cast<std::uint32_t>(edid[10]) | static_cast<std::uint32_t>(edid[11]) << 8;
  identity.serial = static_cast<std::uint32_t>(edid[12]) | static_cast<std::uint32_t>(edid[13]) << 8 |
                    static_cast<std::uint32_t>(edid[14]) << 16 | static_cast<std::uint32_t>(edid[15]) << 24;
  return identity;
}

}  // namespace lumaro::displays
