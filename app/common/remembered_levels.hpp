#pragma once

#include <memory>

#include "model/level_memory.hpp"
#include "ports/line_sink.hpp"
#include "ports/timer.hpp"

namespace lumaro::app {

// The levels the user chose, kept in the user's state folder and shared by
// the tray and the direct commands. `saveTimer` spaces the saves of a drag.
std::shared_ptr<LevelMemory> rememberedLevels(std::shared_ptr<LineSink> sink, bool restoreOnReturn,
                                              std::unique_ptr<OneShotTimer> saveTimer);

}  // namespace lumaro::app
