#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The values a D-Bus message body carries, decoded from the wire into plain
// C++: enough for a client that reads what one service answers.
namespace lumaro::buswire {

struct WireValue;
// An array, a struct or a dict entry ({key, value}): the members in order.
using WireList = std::vector<WireValue>;

struct WireValue {
  // Every integer type widens to int64 (uint64 keeps its bits); a variant
  // holds what it contains; s, o and g are all strings.
  std::variant<bool, std::int64_t, double, std::string, WireList> value;

  bool operator==(const WireValue&) const = default;
};

enum class ByteOrder { little, big };

// The values of `signature` (one or more complete types) read from `body`,
// which starts at an 8-byte boundary of its message. Absent when the bytes do
// not hold exactly those values: too short, a string without its NUL, an
// array longer than the body, nesting deeper than D-Bus allows, bytes left over.
std::optional<WireList> decodeBody(std::string_view signature, std::span<const std::uint8_t> body, ByteOrder order);

// The value under `key` in an a{sv} or a{ss} value when it has type T;
// absent when the key is missing or holds another type.
template <typename T>
std::optional<T> dictMember(const WireValue& dict, std::string_view key) {
  const auto* entries = std::get_if<WireList>(&dict.value);
  if (entries == nullptr) return std::nullopt;
  for (const WireValue& entry : *entries) {
    const auto* pair = std::get_if<WireList>(&entry.value);
    if (pair == nullptr || pair->size() != 2) continue;
    const auto* name = std::get_if<std::string>(&(*pair)[0].value);
    if (name == nullptr || *name != key) continue;
    if (const auto* found = std::get_if<T>(&(*pair)[1].value)) return *found;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace lumaro::buswire
