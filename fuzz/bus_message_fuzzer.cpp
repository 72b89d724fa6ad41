// The command line's D-Bus reader on arbitrary bytes: a message is framed,
// refused or decoded, never read past its end; and a body read against any
// signature the input spells out does the same.

#include <cstdlib>
#include <string_view>

#include "adapters/buswire/wire_message.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaro::buswire;
  const std::span<const std::uint8_t> bytes(data, size);
  if (const auto message = decodeMessage(bytes)) {
    if (messageSize(bytes) != size) std::abort();
    if (message->type == Message::Type::error && !message->errorName) std::abort();
  }
  // First byte: a signature's length; then the signature; the rest is a body.
  if (size > 0 && size > 1u + data[0]) {
    const std::string_view signature(reinterpret_cast<const char*>(data + 1), data[0]);
    const auto body = bytes.subspan(1u + data[0]);
    (void)decodeBody(signature, body, ByteOrder::little);
    (void)decodeBody(signature, body, ByteOrder::big);
  }
  return 0;
}
