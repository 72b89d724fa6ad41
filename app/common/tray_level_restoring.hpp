#pragma once

#include <memory>

#include "model/level_memory.hpp"
#include "model/lumaro_manager.hpp"
#include "ports/device_events.hpp"
#include "ports/line_sink.hpp"
#include "ports/preference_store.hpp"

namespace lumaro::ui {
class LumaroApp;
}

namespace lumaro::app {

// What the tray adds so that displays come back at the level the user chose:
// the memory the manager writes to, the menu toggle stored with the user's
// preferences, a first pass at start and one after each resume from sleep.
class TrayLevelRestoring {
 public:
  explicit TrayLevelRestoring(std::shared_ptr<LineSink> sink);
  ~TrayLevelRestoring();

  // For LumaroManager::create.
  const std::shared_ptr<LevelMemory>& memory() const { return memory_; }
  // Before the shell starts: the menu's "Restore brightness..." entry.
  void offerToggle(ui::LumaroApp& shell);
  // Once the shell started: puts remembered levels back now and after sleep.
  void follow(const std::shared_ptr<LumaroManager>& manager);

 private:
  std::unique_ptr<PreferenceStore> preferences_;
  std::shared_ptr<LevelMemory> memory_;
  std::unique_ptr<devices::DeviceEvents> resumes_;
};

}  // namespace lumaro::app
