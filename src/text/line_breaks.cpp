#include "text/line_breaks.hpp"

#include <cstdint>
#include <cstring>

#include "text/byte_blocks.hpp"

namespace lumaro::text {
namespace {

using namespace blocks;

// Lanes holding U+000A–U+000D (all ones) and lanes holding C2 or E2, the lead
// bytes of the three multi-byte newline characters.
Block asciiBreakLanes(Block bytes) {
  constexpr std::uint8_t kFirst = 0x0A;
  constexpr std::uint8_t kCount = 4;
  return reinterpret_cast<Block>(static_cast<Block>(bytes - kFirst) < kCount);
}
Block multiByteLeadLanes(Block bytes) { return lanesEqual(bytes, 0xC2) | lanesEqual(bytes, 0xE2); }

// Length of the line break starting at byte i, or 0.
std::size_t breakLengthAt(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t b = byte(i);
  if (b >= 0x0A && b <= 0x0D) return 1;
  if (b == 0xC2) return i + 1 < text.size() && byte(i + 1) == 0x85 ? 2 : 0;
  if (b == 0xE2 && i + 2 < text.size() && byte(i + 1) == 0x80 && (byte(i + 2) == 0xA8 || byte(i + 2) == 0xA9)) {
    return 3;
  }
  return 0;
}

bool breakEndsAt(std::string_view text, std::size_t end) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t b = byte(end - 1);
  if (b >= 0x0A && b <= 0x0D) return true;
  if (b == 0x85) return end >= 2 && byte(end - 2) == 0xC2;
  if (b == 0xA8 || b == 0xA9) return end >= 3 && byte(end - 2) == 0x80 && byte(end - 3) == 0xE2;
  return false;
}

}  // namespace

LineBreak findLineBreak(std::string_view text, std::size_t from) {
  const std::size_t size = text.size();
  std::size_t i = from;
  for (; i + kBlockSize <= size; i += kBlockSize) {
    const Block bytes = load(text.data() + i);
    const Block candidates = asciiBreakLanes(bytes) | multiByteLeadLanes(bytes);
    if (!anyLane(candidates)) continue;
    LineBreak found{};
    if (visitLanes(candidates, [&](std::size_t lane) {
          found = {i + lane, breakLengthAt(text, i + lane)};
          return found.length > 0;
        })) {
      return found;
    }
  }
  for (; i < size; ++i) {
    if (const std::size_t length = breakLengthAt(text, i)) return {i, length};
  }
  return {size, 0};
}

std::size_t countLineBreaks(std::string_view text) {
  const std::size_t size = text.size();
  std::size_t count = 0;
  std::size_t i = 0;
  // Per-lane counters of one-byte breaks; flushed before any lane can wrap.
  Block lanes{};
  unsigned blocksInLanes = 0;
  const auto flush = [&] {
    for (std::size_t k = 0; k < kBlockSize; ++k) count += lanes[k];
    lanes = Block{};
    blocksInLanes = 0;
  };
  for (; i + kBlockSize <= size; i += kBlockSize) {
    const Block bytes = load(text.data() + i);
    lanes -= asciiBreakLanes(bytes);
    if (++blocksInLanes == 255) flush();
    if (anyLane(multiByteLeadLanes(bytes))) {
      for (std::size_t k = i; k < i + kBlockSize; ++k) {
        if (breakLengthAt(text, k) > 1) ++count;
      }
    }
  }
  flush();
  for (; i < size; ++i) {
    if (breakLengthAt(text, i) > 0) ++count;
  }
  return count;
}

std::size_t lineStartAt(std::string_view text, std::size_t offset) {
  std::size_t start = offset < text.size() ? offset : text.size();
  while (start > 0 && !breakEndsAt(text, start)) --start;
  return start;
}

std::size_t findNonAscii(std::string_view text, std::size_t from) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const std::size_t size = text.size();
  std::size_t i = from;
  for (; i + 2 * sizeof(std::uint64_t) <= size; i += 2 * sizeof(std::uint64_t)) {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::memcpy(&a, text.data() + i, sizeof a);
    std::memcpy(&b, text.data() + i + sizeof a, sizeof b);
    if (((a | b) & kHighBits) != 0) break;
  }
  for (; i < size; ++i) {
    if (static_cast<std::uint8_t>(text[i]) >= 0x80) return i;
  }
  return size;
}

std::size_t countCrLf(std::string_view text) {
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const void* cr = std::memchr(text.data() + i, '\r', text.size() - i);
    if (cr == nullptr) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
    if (at + 1 < text.size() && text[at + 1] == '\n') ++count;
    i = at + 1;
  }
  return count;
}

}  // namespace lumaro::text
