#include "edid/edid_parser.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "edid/edid_layout.hpp"

namespace lumaro {

using namespace edid_layout;

namespace {

// The extension bytes the decoder may look at: those of the first extension block that are present.
std::span<const std::uint8_t> firstExtension(const std::vector<std::uint8_t>& data) {
  if (data.size() <= kBlockSize) return {};
  const std::size_t end = std::min(data.size(), 2 * kBlockSize);
  return std::span<const std::uint8_t>(data).subspan(kBlockSize, end - kBlockSize);
}

}  // namespace

std::optional<EDIDParser> EDIDParser::make(std::span<const std::uint8_t> data) {
  if (data.size() < kBlockSize) return std::nullopt;
  if (data[kHeaderFirst] != 0x00 || data[kHeaderSecond] != 0xFF || data[kHeaderLast] != 0x00) return std::nullopt;
  EDIDParser parser;
  std::copy_n(data.begin(), kBlockSize, parser.bytes_.begin());
  parser.data_.assign(data.begin(), data.end());
  return parser;
}

std::optional<std::string> EDIDParser::manufacturer() const {
  const unsigned code = static_cast<unsigned>(bytes_[kManufacturerName] << 8) | bytes_[kManufacturerName + 1];
  std::string letters;
  for (const unsigned shift : {10u, 5u, 0u}) {
    const unsigned value = (code >> shift) & 0x1F;
    if (value < 1 || value > 26) return std::nullopt;
    letters.push_back(static_cast<char>('@' + value));
  }
  return letters;
}

std::uint16_t EDIDParser::productCodeValue() const {
  return static_cast<std::uint16_t>(bytes_[kProductCode] | (bytes_[kProductCode + 1] << 8));
}

std::optional<std::string> EDIDParser::productCode() const {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "0x%04X", static_cast<unsigned>(productCodeValue()));
  return std::string(text.data());
}

std::optional<std::string> EDIDParser::serialNumber() const {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | bytes_[kSerialNumber + i];
  if (value == 0) return std::nullopt;
  return std::to_string(value);
}

std::optional<std::string> EDIDParser::manufactureDate() const {
  const unsigned week = bytes_[kManufactureWeek];
  const std::string year = std::to_string(kYearBase + bytes_[kManufactureYear]);
  // Week 0 means none given; FFh marks a model year.
  if (week == 0 || week == 0xFF) return "Year " + year;
  return "Week " + std::to_string(week) + ", " + year;
}

std::optional<std::string> EDIDParser::dimensions() const {
  const unsigned horizontal = bytes_[kHorizontalScreenSize];
  const unsigned vertical = bytes_[kVerticalScreenSize];
  if (horizontal == 0 || vertical == 0) return std::nullopt;
  return std::to_string(horizontal) + " cm \u00D7 " + std::to_string(vertical) + " cm";
}

std::optional<std::string> EDIDParser::colorDepth() const {
  static constexpr std::array<std::string_view, 8> kDepths = {
      "Color depth undefined", "6 bits per color",  "8 bits per color",  "10 bits per color",
      "12 bits per color",     "14 bits per color", "16 bits per color", "Reserved"};
  const std::uint8_t input = bytes_[kVideoInputDefinition];
  if ((input & kDigitalInputBit) == 0) return "Analog (no color depth info)";
  return std::string(kDepths[(input >> kColorBitDepthShift) & kColorBitDepthMask]);
}

std::optional<std::string> EDIDParser::connectionType() const {
  const auto extension = firstExtension(data_);
  if (extension.empty()) return std::nullopt;
  switch (extension[0]) {
    case kTagDisplayInformation:
      return "DVI";
    case kTagCea861:
      return "DisplayPort";
    default:
      return (bytes_[kVideoInputDefinition] & kDigitalInputBit) != 0 ? "Digital" : "Analog";
  }
}

std::string EDIDParser::hdcpSupport() const {
  const auto extension = firstExtension(data_);
  if (extension.empty()) return "Unknown";
  switch (extension[0]) {
    case kTagDisplayInformation: {
      const bool flagged = extension.size() > kDisplayInformationProtectionByte &&
                           (extension[kDisplayInformationProtectionByte] & kContentProtectionBit) != 0;
      return flagged ? "HDCP 1.x" : "Not supported";
    }
    case kTagCea861:
      return "HDCP 1.3+ (via DisplayPort)";
    default:
      return "Unknown";
  }
}

}  // namespace lumaro
