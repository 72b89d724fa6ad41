#include "adapters/posix/file_preference_store.hpp"

#include <sstream>
#include <string>
#include <utility>

#include "adapters/posix/replace_file.hpp"

namespace lumaro {

namespace {
constexpr std::string_view kRestoreOnReturn = "restore-on-return=";
}

FilePreferenceStore::FilePreferenceStore(std::optional<std::filesystem::path> file, std::shared_ptr<LineSink> sink)
    : file_(std::move(file)), sink_(std::move(sink)) {}

std::optional<std::filesystem::path> FilePreferenceStore::defaultFile() {
  return xdgFile("XDG_CONFIG_HOME", ".config", "lumaro/settings");
}

Preferences FilePreferenceStore::load() {
  Preferences preferences;
  if (!file_) return preferences;
  std::string error;
  const auto content = readSmallFile(*file_, error);
  if (!content) {
    if (!error.empty()) sink_->writeLine("Preferences: Cannot read " + file_->string() + ": " + error);
    return preferences;
  }
  std::istringstream lines(*content);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line.starts_with('#')) continue;
    if (line == std::string(kRestoreOnReturn) + "true" || line == std::string(kRestoreOnReturn) + "false") {
      preferences.restoreOnReturn = line.ends_with("true");
    } else {
      sink_->writeLine("Preferences: Ignoring \"" + line + "\" in " + file_->string());
    }
  }
  return preferences;
}

void FilePreferenceStore::save(const Preferences& preferences) {
  if (!file_) return;
  const std::string content =
      std::string(kRestoreOnReturn) + (preferences.restoreOnReturn ? "true" : "false") + "\n";
  if (const auto failure = replaceFile(*file_, content)) {
    sink_->writeLine("Preferences: Cannot save " + file_->string() + ": " + *failure);
  }
}

}  // namespace lumaro
