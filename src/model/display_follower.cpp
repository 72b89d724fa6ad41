#include "model/display_follower.hpp"

namespace lumaro {

DisplayFollower::DisplayFollower(std::shared_ptr<LumaroManager> manager, devices::DeviceEvents& events,
                                 std::unique_ptr<OneShotTimer> timer)
    : manager_(std::move(manager)),
      timer_(std::move(timer)),
      changes_(events, *timer_, [this] { manager_->refresh(); }) {}

}  // namespace lumaro
