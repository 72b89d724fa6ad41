#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumaro {

// A validated EDID with one decoding rule per displayed field. Reads only the
// base block and the tag and byte 8 of the first extension block.
class EDIDParser {
 public:
  // Absent when `data` holds fewer than 128 bytes or a header byte (0, 1, 7) is wrong.
  static std::optional<EDIDParser> make(std::span<const std::uint8_t> data);

  const std::array<std::uint8_t, 128>& bytes() const { return bytes_; }
  const std::vector<std::uint8_t>& data() const { return data_; }

  std::optional<std::string> manufacturer() const;
  // Bytes 10-11, little-endian.
  std::uint16_t productCodeValue() const;
  std::optional<std::string> productCode() const;
  std::optional<std::string> serialNumber() const;
  std::optional<std::string> manufactureDate() const;
  std::optional<std::string> dimensions() const;
  std::optional<std::string> colorDepth() const;
  std::optional<std::string> connectionType() const;
  std::string hdcpSupport() const;

 private:
  EDIDParser() = default;
  std::array<std::uint8_t, 128> bytes_{};
  std::vector<std::uint8_t> data_;
};

}  // namespace lumaro
