#include "display_control/registry_dump_text.hpp"

#include "text/unicode_text.hpp"

namespace lumaro {

std::optional<std::string_view> registryDumpText(std::span<const std::uint8_t> output, std::string& storage,
                                                 LineSink& sink) {
  if (output.empty()) {
    sink.writeLine("WARNING: ioreg produced no output!");
    return std::nullopt;
  }
  std::string_view text(reinterpret_cast<const char*>(output.data()), output.size());
  if (!text::isValidUtf8(output)) {
    storage = text::decodeUtf8Lossy(output);
    text = storage;
  }
  if (text.empty()) {
    sink.writeLine("Decoded output is empty!");
    return std::nullopt;
  }
  sink.writeLine("ioreg completed, output size: " + std::to_string(text::graphemeCount(text)) + " characters");
  return text;
}

}  // namespace lumaro
