#include "common/remembered_levels.hpp"

#include <chrono>

#include "adapters/posix/file_level_store.hpp"

namespace lumaro::app {

std::shared_ptr<LevelMemory> rememberedLevels(std::shared_ptr<LineSink> sink, bool restoreOnReturn,
                                              std::unique_ptr<OneShotTimer> saveTimer) {
  return std::make_shared<LevelMemory>(
      std::make_unique<FileLevelStore>(FileLevelStore::defaultFile(), std::move(sink)), std::move(saveTimer),
      [] { return std::chrono::steady_clock::now(); }, restoreOnReturn);
}

}  // namespace lumaro::app
