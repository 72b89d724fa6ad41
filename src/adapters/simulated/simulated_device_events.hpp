#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

#include "ports/device_events.hpp"
#include "ports/timer.hpp"

namespace lumaro {

// Device events raised by hand: the demo's plug menu and the tests call
// raise() on the main thread where a udev monitor would report a display.
class SimulatedDeviceEvents final : public devices::DeviceEvents {
 public:
  void setListener(Listener listener) override { listener_ = std::move(listener); }
  // Delivers one event; does nothing while no one listens.
  void raise() {
    if (listener_) listener_();
  }
  bool hasListener() const { return static_cast<bool>(listener_); }

 private:
  Listener listener_;
};

// A timer that fires only when the test says so, so what happens within a
// window is counted rather than timed.
class ManualTimer final : public OneShotTimer {
 public:
  void start(std::chrono::milliseconds delay, std::function<void()> timeout) override {
    delay_ = delay;
    timeout_ = std::move(timeout);
    ++starts_;
  }
  void stop() override { timeout_ = nullptr; }
  bool isActive() const override { return static_cast<bool>(timeout_); }

  // Runs the pending shot, if any; false when none was pending.
  bool fire() {
    auto timeout = std::exchange(timeout_, nullptr);
    if (!timeout) return false;
    timeout();
    return true;
  }
  int starts() const { return starts_; }
  std::optional<std::chrono::milliseconds> lastDelay() const { return delay_; }

 private:
  std::function<void()> timeout_;
  std::optional<std::chrono::milliseconds> delay_;
  int starts_ = 0;
};

}  // namespace lumaro
