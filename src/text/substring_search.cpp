#include "text/substring_search.hpp"

#include <cstdint>

#include "text/byte_blocks.hpp"

namespace lumaro::text {

using namespace blocks;

std::size_t findSubstring(std::string_view text, std::string_view pattern, std::size_t from) {
  constexpr auto npos = std::string_view::npos;
  if (from > text.size()) return npos;
  if (pattern.size() < 2) return text.find(pattern, from);
  // Two anchor bytes checked for 16 start positions at once. Quotes around a
  // key are common in the text, so the bytes just inside them are used instead.
  const std::size_t first = pattern.front() == '"' && pattern.size() > 3 ? 1 : 0;
  const std::size_t last =
      pattern.back() == '"' && pattern.size() - 2 > first ? pattern.size() - 2 : pattern.size() - 1;
  const auto firstByte = static_cast<std::uint8_t>(pattern[first]);
  const auto lastByte = static_cast<std::uint8_t>(pattern[last]);
  std::size_t start = from;
  // Every start in the block must leave room for the whole pattern.
  for (; start + kBlockSize - 1 + pattern.size() <= text.size(); start += kBlockSize) {
    const Block candidates = lanesEqual(load(text.data() + start + first), firstByte) &
                             lanesEqual(load(text.data() + start + last), lastByte);
    if (!anyLane(candidates)) continue;
    std::size_t found = npos;
    if (visitLanes(candidates, [&](std::size_t lane) {
          if (text.compare(start + lane, pattern.size(), pattern) != 0) return false;
          found = start + lane;
          return true;
        })) {
      return found;
    }
  }
  return text.find(pattern, start);
}

}  // namespace lumaro::text
