#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// EDID bytes for tests: constructed base blocks with chosen bytes.
namespace lumaro::testing_edid {

using Bytes = std::vector<std::uint8_t>;

struct Patch {
  std::size_t offset;
  std::uint8_t value;
};

// A digital base block with header, APP, product 0x9226, serial 1, week 12 of
// 2010, 52 × 32 cm, 8 bits per colour; grown with zeros to `size`, then patched.
inline Bytes edid(std::size_t size = 128, std::initializer_list<Patch> patches = {}) {
  Bytes bytes(128, 0);
  const std::pair<std::size_t, std::uint8_t> fields[] = {
      {1, 0xFF},  {2, 0xFF},  {3, 0xFF},  {4, 0xFF}, {5, 0xFF}, {6, 0xFF},  {8, 0x06}, {9, 0x10},
      {10, 0x26}, {11, 0x92}, {12, 0x01}, {16, 12},  {17, 20},  {20, 0xA5}, {21, 52},  {22, 32}};
  for (const auto& [offset, value] : fields) bytes[offset] = value;
  bytes.resize(size, 0);
  for (const Patch& patch : patches) {
    if (patch.offset < bytes.size()) bytes[patch.offset] = patch.value;
  }
  return bytes;
}

inline std::string hexOf(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : bytes) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

inline Bytes concat(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace lumaro::testing_edid
