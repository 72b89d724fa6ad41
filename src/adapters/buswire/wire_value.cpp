#include "adapters/buswire/wire_value.hpp"

#include <bit>
#include <cstring>

namespace lumaro::buswire {

namespace {

// D-Bus allows 32 levels of arrays and 32 of structs; variants count too.
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxArrayBytes = 64u << 20;

// The length of the complete type at the start of `signature`, absent when
// there is none. A dict entry is a type only as an array's element.
std::optional<std::size_t> completeTypeLength(std::string_view signature, int depth = 0, bool element = false) {
  if (signature.empty() || depth > kMaxDepth) return std::nullopt;
  switch (signature[0]) {
    case 'y': case 'b': case 'n': case 'q': case 'i': case 'u':
    case 'x': case 't': case 'd': case 'h': case 's': case 'o': case 'g': case 'v':
      return 1;
    case 'a': {
      const auto member = completeTypeLength(signature.substr(1), depth + 1, true);
      if (!member) return std::nullopt;
      return 1 + *member;
    }
    case '(': {
      std::size_t at = 1;
      while (at < signature.size() && signature[at] != ')') {
        const auto member = completeTypeLength(signature.substr(at), depth + 1);
        if (!member) return std::nullopt;
        at += *member;
      }
      if (at >= signature.size() || at == 1) return std::nullopt;
      return at + 1;
    }
    case '{': {
      if (!element) return std::nullopt;
      // A basic key and one value.
      const auto key = completeTypeLength(signature.substr(1), depth + 1);
      if (!key || *key != 1 || std::string_view("ybnqiuxtdhsog").find(signature[1]) == std::string_view::npos) {
        return std::nullopt;
      }
      const auto value = completeTypeLength(signature.substr(2), depth + 1);
      if (!value || signature.size() <= 2 + *value || signature[2 + *value] != '}') return std::nullopt;
      return 3 + *value;
    }
    default:
      return std::nullopt;
  }
}

std::size_t alignmentOf(char type) {
  switch (type) {
    case 'n': case 'q':
      return 2;
    case 'b': case 'i': case 'u': case 'h': case 's': case 'o': case 'a':
      return 4;
    case 'x': case 't': case 'd': case '(': case '{':
      return 8;
    default:
      return 1;
  }
}

class Reader {
 public:
  Reader(std::span<const std::uint8_t> bytes, ByteOrder order) : bytes_(bytes), order_(order) {}

  bool atEnd() const { return at_ == bytes_.size(); }

  // One value of the complete type `type`.
  std::optional<WireValue> value(std::string_view type, int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    switch (type[0]) {
      case 'y':
        return integer(1, false);
      case 'n':
        return integer(2, true);
      case 'q':
        return integer(2, false);
      case 'i':
        return integer(4, true);
      case 'u': case 'h':
        return integer(4, false);
      case 'x': case 't':
        return integer(8, true);
      case 'b': {
        const auto raw = fixed(4);
        if (!raw || *raw > 1) return std::nullopt;
        return WireValue{*raw == 1};
      }
      case 'd': {
        const auto raw = fixed(8);
        if (!raw) return std::nullopt;
        return WireValue{std::bit_cast<double>(*raw)};
      }
      case 's': case 'o': {
        const auto length = fixed(4);
        if (!length) return std::nullopt;
        return text(*length);
      }
      case 'g': {
        const auto length = fixed(1);
        if (!length) return std::nullopt;
        return text(*length);
      }
      case 'v':
        return variant(depth);
      case 'a':
        return array(type.substr(1), depth);
      case '(': case '{':
        return members(type.substr(1, type.size() - 2), depth);
      default:
        return std::nullopt;
    }
  }

  // Every complete type of `signature` in turn.
  std::optional<WireList> sequence(std::string_view signature, int depth) {
    WireList values;
    while (!signature.empty()) {
      const auto length = completeTypeLength(signature, depth);
      if (!length) return std::nullopt;
      auto member = value(signature.substr(0, *length), depth);
      if (!member) return std::nullopt;
      values.push_back(std::move(*member));
      signature.remove_prefix(*length);
    }
    return values;
  }

 private:
  bool align(std::size_t alignment) {
    const std::size_t padded = (at_ + alignment - 1) / alignment * alignment;
    if (padded > bytes_.size()) return false;
    at_ = padded;
    return true;
  }

  std::optional<std::uint64_t> fixed(std::size_t size) {
    if (!align(size) || bytes_.size() - at_ < size) return std::nullopt;
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < size; ++i) {
      const std::size_t shift = order_ == ByteOrder::little ? i : size - 1 - i;
      raw |= static_cast<std::uint64_t>(bytes_[at_ + i]) << (8 * shift);
    }
    at_ += size;
    return raw;
  }

  std::optional<WireValue> integer(std::size_t size, bool isSigned) {
    const auto raw = fixed(size);
    if (!raw) return std::nullopt;
    std::uint64_t bits = *raw;
    if (isSigned && size < 8 && (bits >> (8 * size - 1)) != 0) bits |= ~std::uint64_t{0} << (8 * size);
    return WireValue{static_cast<std::int64_t>(bits)};
  }

  // `length` bytes and the NUL after them.
  std::optional<WireValue> text(std::uint64_t length) {
    if (length >= bytes_.size() - at_ || bytes_[at_ + length] != 0) return std::nullopt;
    std::string content(reinterpret_cast<const char*>(bytes_.data() + at_), length);
    if (content.find('\0') != std::string::npos) return std::nullopt;
    at_ += length + 1;
    return WireValue{std::move(content)};
  }

  std::optional<WireValue> variant(int depth) {
    const auto signature = value("g", depth);
    if (!signature) return std::nullopt;
    const auto& type = std::get<std::string>(signature->value);
    const auto length = completeTypeLength(type, depth + 1);
    if (!length || *length != type.size()) return std::nullopt;
    return value(type, depth + 1);
  }

  std::optional<WireValue> array(std::string_view element, int depth) {
    // The element's type was checked as a whole with the array's.
    const auto length = fixed(4);
    if (!length || *length > kMaxArrayBytes || !align(alignmentOf(element[0]))) return std::nullopt;
    if (*length > bytes_.size() - at_) return std::nullopt;
    const std::size_t end = at_ + *length;
    WireList elements;
    while (at_ < end) {
      auto member = value(element, depth + 1);
      if (!member || at_ > end) return std::nullopt;
      elements.push_back(std::move(*member));
    }
    return WireValue{std::move(elements)};
  }

  std::optional<WireValue> members(std::string_view signature, int depth) {
    if (!align(8)) return std::nullopt;
    auto values = sequence(signature, depth + 1);
    if (!values) return std::nullopt;
    return WireValue{std::move(*values)};
  }

  std::span<const std::uint8_t> bytes_;
  ByteOrder order_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<WireList> decodeBody(std::string_view signature, std::span<const std::uint8_t> body, ByteOrder order) {
  if (signature.size() > 255) return std::nullopt;
  Reader reader(body, order);
  auto values = reader.sequence(signature, 0);
  if (!values || !reader.atEnd()) return std::nullopt;
  return values;
}

}  // namespace lumaro::buswire
