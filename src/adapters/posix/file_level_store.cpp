#include "adapters/posix/file_level_store.hpp"

#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <utility>

#include "adapters/posix/replace_file.hpp"
#include "diagnostics/format.hpp"

namespace lumaro {

namespace {

constexpr const char* kHeader = "# Brightness levels last chosen in Lumaro, by display (0 to 1).\n";

// One "key=level" line; absent unless the level is a number within 0..1.
std::optional<std::pair<std::string, float>> parseLine(std::string_view line) {
  const auto split = line.rfind('=');
  if (split == std::string_view::npos || split == 0) return std::nullopt;
  const std::string_view text = line.substr(split + 1);
  float level = 0.0f;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), level);
  if (error != std::errc{} || end != text.data() + text.size() || !(level >= 0.0f && level <= 1.0f)) {
    return std::nullopt;
  }
  return std::pair{std::string(line.substr(0, split)), level};
}

}  // namespace

FileLevelStore::FileLevelStore(std::optional<std::filesystem::path> file, std::shared_ptr<LineSink> sink)
    : file_(std::move(file)), sink_(std::move(sink)) {}

std::optional<std::filesystem::path> FileLevelStore::defaultFile() {
  return xdgFile("XDG_STATE_HOME", ".local/state", "lumaro/levels");
}

void FileLevelStore::say(const std::string& line) const { sink_->writeLine("RememberedLevels: " + line); }

RememberedLevels FileLevelStore::load() {
  if (!file_) {
    say("No home directory; levels are not remembered");
    return {};
  }
  std::string error;
  const auto content = readSmallFile(*file_, error);
  if (!content) {
    if (!error.empty()) say("Cannot read " + file_->string() + ": " + error + "; starting afresh");
    return {};
  }
  RememberedLevels levels;
  std::istringstream lines(*content);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line.starts_with('#')) continue;
    auto entry = parseLine(line);
    if (!entry) {
      say("Ignoring " + file_->string() + ": line " + std::to_string(number) +
          " is not a level; it is replaced at the next change");
      return {};
    }
    levels.insert_or_assign(std::move(entry->first), entry->second);
  }
  return levels;
}

void FileLevelStore::save(const RememberedLevels& levels) {
  if (!file_) return;
  std::string content = kHeader;
  for (const auto& [key, level] : levels) {
    if (key.find_first_of("\r\n") != std::string::npos) continue;  // would break the line format
    content += key + "=" + diag::floatValue(level) + "\n";
  }
  const auto failure = replaceFile(*file_, content);
  if (failure && !saveFailing_) say("Cannot save " + file_->string() + ": " + *failure);
  saveFailing_ = failure.has_value();
}

}  // namespace lumaro
