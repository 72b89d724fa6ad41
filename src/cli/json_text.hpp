#pragma once

#include <optional>
#include <string>
#include <string_view>

// Just enough JSON for the command line's results: members are appended in
// a fixed order so the output is stable from one release to the next.
namespace lumaro::cli::json {

// `text` as a JSON string literal; control characters are escaped, other
// bytes (UTF-8) pass unchanged.
std::string quoted(std::string_view text);

class Object {
 public:
  Object& add(std::string_view key, std::string_view value);
  Object& addNullable(std::string_view key, const std::optional<std::string>& value);  // null when absent
  Object& add(std::string_view key, long long value);
  Object& addNullable(std::string_view key, std::optional<int> value);  // null when absent
  Object& addRaw(std::string_view key, std::string_view json);
  std::string text() const { return "{" + members_ + "}"; }

 private:
  Object& member(std::string_view key, std::string_view json);
  std::string members_;
};

}  // namespace lumaro::cli::json
