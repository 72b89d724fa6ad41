#pragma once

#include <QTimer>
#include <functional>

#include "ports/timer.hpp"

namespace lumaro {

// A QTimer on the thread that creates it (the main thread).
class QtOneShotTimer final : public OneShotTimer {
 public:
  QtOneShotTimer();
  void start(std::chrono::milliseconds delay, std::function<void()> timeout) override;
  void stop() override;
  bool isActive() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
  std::function<void()> timeout_;
};

}  // namespace lumaro
