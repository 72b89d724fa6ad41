#include "cli/json_text.hpp"

#include <array>

namespace lumaro::cli::json {

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          constexpr std::array<char, 17> digits{"0123456789abcdef"};
          out += "\\u00";
          out += digits[static_cast<unsigned char>(c) >> 4];
          out += digits[static_cast<unsigned char>(c) & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

Object& Object::member(std::string_view key, std::string_view json) {
  if (!members_.empty()) members_ += ",";
  members_ += quoted(key) + ":" + std::string(json);
  return *this;
}

Object& Object::add(std::string_view key, std::string_view value) { return member(key, quoted(value)); }

Object& Object::addNullable(std::string_view key, const std::optional<std::string>& value) {
  return member(key, value ? quoted(*value) : "null");
}

Object& Object::add(std::string_view key, long long value) { return member(key, std::to_string(value)); }

Object& Object::addNullable(std::string_view key, std::optional<int> value) {
  return member(key, value ? std::to_string(*value) : "null");
}

Object& Object::addRaw(std::string_view key, std::string_view json) { return member(key, json); }

}  // namespace lumaro::cli::json
