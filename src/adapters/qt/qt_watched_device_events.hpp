#pragma once

#include <QSocketNotifier>
#include <memory>

#include "ports/device_events.hpp"

namespace lumaro {

// Watches a pollable event source from the Qt event loop: the loop wakes only
// when the source's descriptor is readable, so an idle source costs nothing.
// A source whose descriptor is invalid (< 0) is kept but never delivers.
class QtWatchedDeviceEvents final : public devices::DeviceEvents {
 public:
  explicit QtWatchedDeviceEvents(std::unique_ptr<devices::PollableDeviceEvents> source);
  ~QtWatchedDeviceEvents() override;
  QtWatchedDeviceEvents(const QtWatchedDeviceEvents&) = delete;
  QtWatchedDeviceEvents& operator=(const QtWatchedDeviceEvents&) = delete;

  void setListener(Listener listener) override { listener_ = std::move(listener); }
  void deliverPending() override;

 private:
  std::unique_ptr<devices::PollableDeviceEvents> source_;
  std::unique_ptr<QSocketNotifier> notifier_;
  Listener listener_;
};

}  // namespace lumaro
