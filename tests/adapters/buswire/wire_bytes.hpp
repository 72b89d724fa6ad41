#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace lumaro::buswire::testing {

// Little-endian D-Bus bytes written by hand, so the tests state the wire
// format independently of the encoder under test.
class WireBytes {
 public:
  WireBytes& align(std::size_t n) {
    while (bytes.size() % n != 0) bytes.push_back(0);
    return *this;
  }
  WireBytes& y(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  WireBytes& u(std::uint32_t v) {
    align(4);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
  WireBytes& d(double v) {
    align(8);
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    return *this;
  }
  WireBytes& s(const std::string& text) {
    u(static_cast<std::uint32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
  }
  WireBytes& g(const std::string& text) {
    y(static_cast<std::uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
  }
  // Starts an array: its length is filled in by end(), counted from after
  // the padding to `elementAlignment`.
  std::size_t begin(std::size_t elementAlignment) {
    u(0);
    const std::size_t lengthAt = bytes.size() - 4;
    align(elementAlignment);
    starts_.push_back(bytes.size());
    return lengthAt;
  }
  WireBytes& end(std::size_t lengthAt) {
    const auto length = static_cast<std::uint32_t>(bytes.size() - starts_.back());
    starts_.pop_back();
    for (std::size_t i = 0; i < 4; ++i) bytes[lengthAt + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return *this;
  }

  std::vector<std::uint8_t> bytes;

 private:
  std::vector<std::size_t> starts_;
};

// A whole little-endian message: header fields as (code, type, text or
// number), then `body` with its signature.
struct HeaderField {
  std::uint8_t code;
  char type;  // 's', 'o', 'g' or 'u'
  std::string text;
  std::uint32_t number = 0;
};

inline std::vector<std::uint8_t> wireMessage(std::uint8_t type, std::uint32_t serial,
                                             const std::vector<HeaderField>& fields,
                                             const std::vector<std::uint8_t>& body) {
  WireBytes m;
  m.y('l').y(type).y(0).y(1).u(static_cast<std::uint32_t>(body.size())).u(serial);
  const auto array = m.begin(8);
  for (const auto& field : fields) {
    m.align(8).y(field.code).g(std::string(1, field.type));
    if (field.type == 'u') {
      m.u(field.number);
    } else if (field.type == 'g') {
      m.g(field.text);
    } else {
      m.s(field.text);
    }
  }
  m.end(array).align(8);
  m.bytes.insert(m.bytes.end(), body.begin(), body.end());
  return m.bytes;
}

}  // namespace lumaro::buswire::testing
