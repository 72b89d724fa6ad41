#include "common/tray_instance.hpp"

#include <QCoreApplication>

#include "adapters/qt/qt_one_shot_timer.hpp"
#include "cli/hid_failure_watch.hpp"
#include "common/main_queue.hpp"

namespace lumaro::app {

TrayInstance::TrayInstance(const TrayApp& tray, std::shared_ptr<LineSink> sink, std::shared_ptr<LevelMemory> memory,
                           const ServedCommands& served, QDBusConnection connection)
    : manager_(LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(cli::watchedPorts(tray.hardware(sink))),
                                     queues_, sink, std::move(memory))) {
  commands_.emplace(manager_, settleMainQueue(*queues_), tray.program);
  if (served) served_ = served(*commands_);
  instance_.emplace(tray.busName, served_ ? *served_ : *commands_, std::move(connection));
  events_ = tray.deviceEvents ? tray.deviceEvents() : nullptr;
  if (!events_) return;
  follower_.emplace(manager_, *events_, std::make_unique<QtOneShotTimer>());
  commands_->setCatchUp([this] { return follower_->catchUp(); });
}

TrayInstance::~TrayInstance() {
  follower_.reset();
  instance_.reset();
  served_.reset();
  commands_.reset();
  manager_.reset();
  queues_->waitForGlobal();
  QCoreApplication::processEvents();
}

}  // namespace lumaro::app
