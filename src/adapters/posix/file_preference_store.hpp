#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "ports/line_sink.hpp"
#include "ports/preference_store.hpp"

namespace lumaro {

// Preferences in a small "name=value" text file. An unreadable or unknown
// line costs one diagnostic line and leaves that preference at its default.
class FilePreferenceStore final : public PreferenceStore {
 public:
  // `file` absent: nowhere to keep them (no home directory); defaults apply.
  FilePreferenceStore(std::optional<std::filesystem::path> file, std::shared_ptr<LineSink> sink);

  // $XDG_CONFIG_HOME/lumaro/settings, by default ~/.config/lumaro/settings.
  static std::optional<std::filesystem::path> defaultFile();

  Preferences load() override;
  void save(const Preferences& preferences) override;

 private:
  std::optional<std::filesystem::path> file_;
  std::shared_ptr<LineSink> sink_;
};

}  // namespace lumaro
