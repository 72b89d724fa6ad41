#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace lumaro {

// A 128-bit identifier; `random()` makes a version 4 UUID.
class Uuid {
 public:
  using Bytes = std::array<std::uint8_t, 16>;

  Uuid() = default;  // the nil UUID
  explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}

  static Uuid random();

  const Bytes& bytes() const { return bytes_; }

  // Canonical upper-case text form, 8-4-4-4-12 hexadecimal digits.
  std::string toString() const;

  auto operator<=>(const Uuid&) const = default;
  bool operator==(const Uuid&) const = default;

 private:
  Bytes bytes_{};
};

}  // namespace lumaro

template <>
struct std::hash<lumaro::Uuid> {
  std::size_t operator()(const lumaro::Uuid& uuid) const noexcept;
};
