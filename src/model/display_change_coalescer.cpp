#include "model/display_change_coalescer.hpp"

#include <utility>

namespace lumaro {

DisplayChangeCoalescer::DisplayChangeCoalescer(devices::DeviceEvents& events, OneShotTimer& timer,
                                               std::function<void()> onSettled, std::chrono::milliseconds window)
    : events_(events), timer_(timer), onSettled_(std::move(onSettled)), window_(window) {
  events_.setListener([this] { eventArrived(); });
}

DisplayChangeCoalescer::~DisplayChangeCoalescer() {
  events_.setListener({});
  timer_.stop();
}

void DisplayChangeCoalescer::eventArrived() {
  // Not restarted by later events: a burst that never ends must not postpone
  // the refresh for ever.
  if (timer_.isActive()) return;
  timer_.start(window_, [this] {
    if (onSettled_) onSettled_();
  });
}

bool DisplayChangeCoalescer::settleNow() {
  events_.deliverPending();
  if (!timer_.isActive()) return false;
  timer_.stop();
  if (onSettled_) onSettled_();
  return true;
}

}  // namespace lumaro
