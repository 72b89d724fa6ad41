#pragma once

#include <chrono>
#include <functional>

namespace lumaro {

// A single-shot timer on the main thread.
class OneShotTimer {
 public:
  virtual ~OneShotTimer() = default;
  // Runs `timeout` once after `delay` unless stopped first; starting again
  // replaces the pending shot.
  virtual void start(std::chrono::milliseconds delay, std::function<void()> timeout) = 0;
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
};

}  // namespace lumaro
