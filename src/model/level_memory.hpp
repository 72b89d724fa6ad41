#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "display_control/records/records.hpp"
#include "ports/level_store.hpp"
#include "ports/timer.hpp"

namespace lumaro {

// Remembers the level the user last chose for each display and says which
// level to put back when a display returns (plugged in again, found at start,
// or met again after the system slept). Main thread only.
class LevelMemory {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Saves come at most once per this interval; the last choice of a burst is
  // saved when it ends.
  static constexpr std::chrono::milliseconds kSaveInterval{1000};

  // Loads the store once, now. `saveTimer` delays the saves of a drag.
  LevelMemory(std::unique_ptr<LevelStore> store, std::unique_ptr<OneShotTimer> saveTimer, Clock clock,
              bool restoreOnReturn);
  // Saves a choice still waiting for its timer.
  ~LevelMemory();
  LevelMemory(const LevelMemory&) = delete;
  LevelMemory& operator=(const LevelMemory&) = delete;

  // The user chose `level` for `display` and the display took it.
  void chose(const AppleDisplay& display, float level);
  // Called for each display of a detection pass, with the level it reports:
  // the level to write back, when the display was absent from the previous
  // pass (or the system slept since), a level is remembered for it and the
  // display shows another. Absent otherwise, and always while restoring is off.
  std::optional<float> levelOnArrival(const AppleDisplay& display, std::optional<float> reported) const;
  // Ends a detection pass: these displays count as present from now on.
  void present(const std::vector<AppleDisplay>& displays);
  // After sleep every display counts as returning at the next pass.
  void systemResumed() { present_.clear(); }

  bool restoreOnReturn() const { return restoreOnReturn_; }
  void setRestoreOnReturn(bool on) { restoreOnReturn_ = on; }
  bool remembersAny() const { return !levels_.empty(); }

 private:
  void saveNow();

  std::unique_ptr<LevelStore> store_;
  std::unique_ptr<OneShotTimer> saveTimer_;
  Clock clock_;
  bool restoreOnReturn_;
  RememberedLevels levels_;
  std::set<std::string> unsaved_;  // chosen here since the last save
  std::set<std::string> present_;
  std::optional<std::chrono::steady_clock::time_point> lastSave_;
};

}  // namespace lumaro
