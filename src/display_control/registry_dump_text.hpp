#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ports/line_sink.hpp"

namespace lumaro {

// The registry dump tool's output as text for the parser, with the lines the
// harvest prints about it. Valid UTF-8 is used in place; ill-formed input is
// decoded into `storage`. Absent, after a warning line, when there is no text.
std::optional<std::string_view> registryDumpText(std::span<const std::uint8_t> output, std::string& storage,
                                                 LineSink& sink);

}  // namespace lumaro
