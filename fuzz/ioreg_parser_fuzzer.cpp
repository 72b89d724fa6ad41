// The registry-dump parser on arbitrary bytes, prepared as the harvest does,
// with the text rules checked against each other on the way.

#include <cstdlib>
#include <span>
#include <string>

#include "edid/ioreg_parser.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "text/line_breaks.hpp"
#include "text/unicode_text.hpp"

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaro;
  const std::span<const std::uint8_t> bytes(data, size);
  const std::string_view raw(reinterpret_cast<const char*>(data), size);

  const std::string text = text::decodeUtf8Lossy(bytes);
  require(text::isValidUtf8(bytesOf(text)));
  require(!text::isValidUtf8(bytes) || text == raw);

  const std::size_t characters = text::graphemeCount(text);
  if (text.size() <= 4096) require(characters == text::graphemeBoundaries(text).size() - 1);
  require(text::countLineBreaks(text) + 1 == text::splitLines(text).size());

  DiscardingLineSink sink;
  for (const auto& record : parseIoregOutput(text, sink)) require(!record.edidData.empty());
  // Callers may hand over text that was never decoded; that must be safe too.
  parseIoregOutput(raw, sink);
  return 0;
}
