#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Sixteen bytes examined together. GCC and Clang lower these vector extensions
// to the target's SIMD instructions (SSE2, NEON) without intrinsics.
namespace lumaro::text::blocks {

// A vector attribute binds reliably only in typedef form.
typedef std::uint8_t Block __attribute__((vector_size(16)));  // NOLINT(modernize-use-using)
inline constexpr std::size_t kBlockSize = sizeof(Block);

inline Block load(const char* p) {
  Block block;
  std::memcpy(&block, p, sizeof block);
  return block;
}

// All ones in the lanes equal to `value`.
inline Block lanesEqual(Block bytes, std::uint8_t value) { return reinterpret_cast<Block>(bytes == value); }

inline bool anyLane(Block mask) {
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  std::memcpy(&low, &mask, sizeof low);
  std::memcpy(&high, reinterpret_cast<const char*>(&mask) + sizeof low, sizeof high);
  return (low | high) != 0;
}

// Calls visit(lane) for each set lane of `mask`, in order, until it returns true.
template <typename Visit>
bool visitLanes(Block mask, Visit visit) {
  for (std::size_t half = 0; half < 2; ++half) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, reinterpret_cast<const char*>(&mask) + half * sizeof bits, sizeof bits);
    while (bits != 0) {
      const auto lane = static_cast<std::size_t>(std::countr_zero(bits)) / 8;
      if (visit(half * sizeof bits + lane)) return true;
      bits &= ~(std::uint64_t{0xFF} << (lane * 8));
    }
  }
  return false;
}

}  // namespace lumaro::text::blocks
