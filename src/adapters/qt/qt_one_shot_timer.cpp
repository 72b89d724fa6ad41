#include "adapters/qt/qt_one_shot_timer.hpp"

#include <utility>

namespace lumaro {

QtOneShotTimer::QtOneShotTimer() {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    // Taken out first: the shot may start the timer again.
    if (auto timeout = std::exchange(timeout_, nullptr)) timeout();
  });
}

void QtOneShotTimer::start(std::chrono::milliseconds delay, std::function<void()> timeout) {
  timeout_ = std::move(timeout);
  timer_.start(delay);
}

void QtOneShotTimer::stop() {
  timer_.stop();
  timeout_ = nullptr;
}

}  // namespace lumaro
