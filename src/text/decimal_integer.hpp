#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumaro::text {

// A whole-text signed decimal integer: at most one leading "+" or "-", then
// one or more ASCII digits and nothing else. Absent when malformed or outside
// the signed 64-bit range.
std::optional<std::int64_t> parseSignedDecimal(std::string_view text);

}  // namespace lumaro::text
