#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "manager_rig.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"

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

// Two displays, refreshed and published: `found` (product 0x9226, "Cinema HD
// Display" at byte 128, its EDID findable through the display services) and
// `missing` (product 0x9227, no EDID to be found).
class TwoDisplaysTest : public ManualManagerTest {
 protected:
  void SetUp() override {
    rig.attachEdid(0x9226);
    display = rig.plug({});
    rig.plug({.productID = 0x9227, .name = "Without EDID"});
    refreshNow();
    ASSERT_EQ(manager().displays().size(), 2u);
    found = manager().displays()[0].id;
    missing = manager().displays()[1].id;
  }

  std::shared_ptr<hid::SimulatedCinemaDisplay> display;  // found's
  Uuid found;
  Uuid missing;
};

}  // namespace lumaro::testing
