#include "model/level_memory.hpp"

#include <cmath>
#include <utility>

#include "display_control/rarudo_rurorav_oduradadur.hpp"

namespace lumaro {

LevelMemory::LevelMemory(std::unique_ptr<LevelStore> store, std::unique_ptr<OneShotTimer> saveTimer, Clock clock,
                         bool restoreOnReturn)
    : store_(std::move(store)),
      saveTimer_(std::move(saveTimer)),
      clock_(std::move(clock)),
      restoreOnReturn_(restoreOnReturn),
      levels_(store_->load()) {}

LevelMemory::~LevelMemory() {
  if (saveTimer_->isActive()) {
    saveTimer_->stop();
    saveNow();
  }
}

void LevelMemory::chose(const AppleDisplay& display, float level) {
  const auto key = stableDisplayID(display);
  levels_.insert_or_assign(key, level);
  unsaved_.insert(key);
  // A drag sends a choice per step: the first is saved at once, later ones
  // wait for the interval to pass and are saved together.
  if (saveTimer_->isActive()) return;
  const auto now = clock_();
  if (!lastSave_ || now - *lastSave_ >= kSaveInterval) {
    saveNow();
    return;
  }
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*lastSave_ + kSaveInterval - now);
  saveTimer_->start(wait, [this] { saveNow(); });
}

void LevelMemory::saveNow() {
  lastSave_ = clock_();
  // A command acting on the displays directly saves to the same store: what
  // it saved since is kept and adopted, and only this memory's own new
  // choices go over it. An unreadable store loses nothing known here.
  for (auto& [key, level] : store_->load()) {
    if (!unsaved_.contains(key)) levels_.insert_or_assign(key, level);
  }
  unsaved_.clear();
  store_->save(levels_);
}

std::optional<float> LevelMemory::levelOnArrival(const AppleDisplay& display, std::optional<float> reported) const {
  if (!restoreOnReturn_ || !reported) return std::nullopt;
  const auto key = stableDisplayID(display);
  if (present_.contains(key)) return std::nullopt;
  const auto remembered = levels_.find(key);
  if (remembered == levels_.end()) return std::nullopt;
  // Compared as the display stores them: a reported level is a byte over 255,
  // the remembered one becomes the byte a write would send.
  if (RarudoRuroravOduradadur::brightnessByte(remembered->second) == std::lround(*reported * 255.0f)) {
    return std::nullopt;
  }
  return remembered->second;
}

void LevelMemory::present(const std::vector<AppleDisplay>& displays) {
  present_.clear();
  for (const auto& display : displays) present_.insert(stableDisplayID(display));
}

}  // namespace lumaro
