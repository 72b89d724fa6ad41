#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Byte offsets of the EDID fields the decoder reads, from the start of the EDID.
// Section numbers are those of the VESA Enhanced EDID Standard (E-EDID), Release A, Revision 2.
namespace lumaro::edid_layout {

// Section 2.2: the base block (block 0) is 128 bytes; each extension block is another 128.
inline constexpr std::size_t kBlockSize = 128;

// Section 3.3: the header is 00 FF FF FF FF FF FF 00. The decoder checks only
// bytes 0, 1 and 7; the display identity checks all eight.
inline constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
inline constexpr std::size_t kHeaderFirst = 0;   // 0x00
inline constexpr std::size_t kHeaderSecond = 1;  // 0xFF
inline constexpr std::size_t kHeaderLast = 7;    // 0x00

// Section 3.4.1: ID Manufacturer Name, three 5-bit letters, big-endian.
inline constexpr std::size_t kManufacturerName = 8;  // 2 bytes
// Section 3.4.2: ID Product Code, little-endian.
inline constexpr std::size_t kProductCode = 10;  // 2 bytes
// Section 3.4.3: ID Serial Number, little-endian; 0 means none.
inline constexpr std::size_t kSerialNumber = 12;  // 4 bytes
// Section 3.4.4: Week of Manufacture (0 and FFh carry no week) and Year minus 1990.
inline constexpr std::size_t kManufactureWeek = 16;
inline constexpr std::size_t kManufactureYear = 17;
inline constexpr int kYearBase = 1990;

// Section 3.6.1: Video Input Definition. Bit 7 = digital; bits 6-4 = colour bit depth.
inline constexpr std::size_t kVideoInputDefinition = 20;
inline constexpr std::uint8_t kDigitalInputBit = 0x80;
inline constexpr unsigned kColorBitDepthShift = 4;
inline constexpr std::uint8_t kColorBitDepthMask = 0x07;

// Section 3.6.2: horizontal and vertical screen size in centimetres; 0 = unknown.
inline constexpr std::size_t kHorizontalScreenSize = 21;
inline constexpr std::size_t kVerticalScreenSize = 22;

// Section 2.2: the first byte of an extension block is its tag number.
inline constexpr std::size_t kFirstExtensionTag = kBlockSize;  // byte 128
inline constexpr std::uint8_t kTagCea861 = 0x02;               // CEA-861 timing extension
inline constexpr std::uint8_t kTagDisplayInformation = 0x40;   // VESA DI-EXT
// Byte 8 of a DI-EXT block; bit 6 flags content protection.
inline constexpr std::size_t kDisplayInformationProtectionByte = 8;
inline constexpr std::uint8_t kContentProtectionBit = 0x40;

}  // namespace lumaro::edid_layout
