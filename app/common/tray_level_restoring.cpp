#include "common/tray_level_restoring.hpp"

#include "adapters/logind/logind_resume_events.hpp"
#include "adapters/posix/file_preference_store.hpp"
#include "adapters/qt/qt_one_shot_timer.hpp"
#include "adapters/qt/qt_watched_device_events.hpp"
#include "common/remembered_levels.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/menu_toggle.hpp"

namespace lumaro::app {

TrayLevelRestoring::TrayLevelRestoring(std::shared_ptr<LineSink> sink)
    : preferences_(std::make_unique<FilePreferenceStore>(FilePreferenceStore::defaultFile(), sink)),
      memory_(rememberedLevels(sink, preferences_->load().restoreOnReturn, std::make_unique<QtOneShotTimer>())) {}

TrayLevelRestoring::~TrayLevelRestoring() = default;

void TrayLevelRestoring::offerToggle(ui::LumaroApp& shell) {
  shell.addMenuToggle(ui::restoreOnReturnToggle([memory = memory_] { return memory->restoreOnReturn(); },
                                                [this](bool on) {
                                                  memory_->setRestoreOnReturn(on);
                                                  preferences_->save({.restoreOnReturn = on});
                                                }));
}

void TrayLevelRestoring::follow(const std::shared_ptr<LumaroManager>& manager) {
  // Displays present at start count as returning: the first pass is due now,
  // not when the window first opens.
  if (memory_->restoreOnReturn() && memory_->remembersAny()) manager->refresh();
  resumes_ = std::make_unique<QtWatchedDeviceEvents>(std::make_unique<LogindResumeEvents>());
  resumes_->setListener([memory = memory_, weak = std::weak_ptr<LumaroManager>(manager)] {
    memory->systemResumed();
    if (auto model = weak.lock()) model->refresh();
  });
}

}  // namespace lumaro::app
