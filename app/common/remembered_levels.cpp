#include "common/remembered_levels.hpp"

#include <chrono>

#include "adapters/posix/file_level_store.hpp"
#include "adapters/qt/qt_one_shot_timer.hpp"

namespace lumaro::app {

std::shared_ptr<LevelMemory> rememberedLevels(std::shared_ptr<LineSink> sink, bool restoreOnReturn) {
  return std::make_shared<LevelMemory>(
      std::make_unique<FileLevelStore>(FileLevelStore::defaultFile(), std::move(sink)),
      std::make_unique<QtOneShotTimer>(), [] { return std::chrono::steady_clock::now(); }, restoreOnReturn);
}

}  // namespace lumaro::app
