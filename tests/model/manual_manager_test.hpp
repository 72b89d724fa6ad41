#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "manager_rig.hpp"
#include "platform/simulated/manual_dispatch_queues.hpp"

namespace lumaro::testing {

// A manager on queues that run only when the test pumps them.
class ManualManagerTest : public ::testing::Test {
 protected:
  std::shared_ptr<ManualDispatchQueues> queues = std::make_shared<ManualDispatchQueues>();
  ManagerRig rig{queues};

  LumaroManager& manager() { return *rig.manager; }

  // A refresh whose result is already published; its lines are dropped.
  void refreshNow() {
    rig.manager->refresh();
    queues->runAllMain();
    rig.sink->take();
  }

  // Counts willChange/didChange pairs while the subscription lives.
  int changes = 0;
  Subscription countChanges() {
    return rig.manager->subscribe({.willChange = nullptr, .didChange = [this] { ++changes; }});
  }
};

}  // namespace lumaro::testing
