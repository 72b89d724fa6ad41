// hexStringToData on arbitrary text: a result exactly when the text is made of
// hex digits and spaces, half as many bytes as digits (rounded up), and one
// diagnostic line on every refusal of a non-empty text.

#include <cstdlib>
#include <string>

#include "edid/ioreg_parser.hpp"
#include "adapters/simulated/line_sinks.hpp"
#include "text/unicode_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaro;
  const std::string text = text::decodeUtf8Lossy({data, size});
  std::size_t digits = 0;
  bool plain = true;
  for (const char c : text) {
    if (c == ' ') continue;
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    plain = plain && hex;
    digits += hex ? 1 : 0;
  }
  VectorLineSink sink;
  const auto bytes = hexStringToData(text, sink);
  if (plain) {
    if (digits == 0 ? bytes.has_value() : (!bytes || bytes->size() != (digits + 1) / 2)) std::abort();
    if (!sink.lines().empty()) std::abort();
  } else if (bytes.has_value() || sink.lines().size() != 1) {
    std::abort();
  }
  return 0;
}
