#include "adapters/qt/qt_watched_device_events.hpp"

#include <utility>

namespace lumaro {

QtWatchedDeviceEvents::QtWatchedDeviceEvents(std::unique_ptr<devices::PollableDeviceEvents> source)
    : source_(std::move(source)) {
  if (!source_ || source_->fd() < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(source_->fd(), QSocketNotifier::Read);
  // Always drained, listener or not, so a readable descriptor never spins the loop.
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { deliverPending(); });
}

void QtWatchedDeviceEvents::deliverPending() {
  if (notifier_ && source_->readPending() && listener_) listener_();
}

QtWatchedDeviceEvents::~QtWatchedDeviceEvents() = default;

}  // namespace lumaro
