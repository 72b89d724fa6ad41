#pragma once

#include <cstddef>
#include <string_view>

namespace lumaro::text {

// Offset of the first occurrence of `pattern` in `text` at or after `from`;
// npos when there is none. Looks at 16 positions at a time for two bytes of
// the pattern, which suits searches for rare keys through megabytes of text.
std::size_t findSubstring(std::string_view text, std::string_view pattern, std::size_t from = 0);

}  // namespace lumaro::text
