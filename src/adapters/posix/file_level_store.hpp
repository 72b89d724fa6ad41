#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "ports/level_store.hpp"
#include "ports/line_sink.hpp"

namespace lumaro {

// Remembered levels in one text file, one "key=level" line per display,
// replaced whole at every save. Several processes may save: the last whole
// file wins. A file that cannot be read or parsed is ignored with one line
// and replaced at the next save; a failing save costs one line until a save
// succeeds again.
class FileLevelStore final : public LevelStore {
 public:
  // `file` absent: there is nowhere to keep levels (no home directory).
  FileLevelStore(std::optional<std::filesystem::path> file, std::shared_ptr<LineSink> sink);

  // $XDG_STATE_HOME/lumaro/levels, by default ~/.local/state/lumaro/levels.
  static std::optional<std::filesystem::path> defaultFile();

  RememberedLevels load() override;
  void save(const RememberedLevels& levels) override;

 private:
  void say(const std::string& line) const;

  std::optional<std::filesystem::path> file_;
  std::shared_ptr<LineSink> sink_;
  bool saveFailing_ = false;
};

}  // namespace lumaro
