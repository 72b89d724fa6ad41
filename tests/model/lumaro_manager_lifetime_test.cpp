#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "manual_manager_test.hpp"

namespace lumaro::testing {
namespace {

using ::testing::ElementsAre;

using Lifetime = TwoDisplaysTest;
using Answers = std::vector<std::optional<DisplayEDIDDetails>>;

TEST_F(Lifetime, PendingBlocksOutliveTheManagerHarmlessly) {
  Answers answers;
  manager().loadEDIDDetails(found, [&](std::optional<DisplayEDIDDetails> details) { answers.push_back(details); });
  manager().setBrightness(found, 0.25f);
  manager().refresh();
  auto subscription = countChanges();
  rig.sink->take();

  rig.manager.reset();  // the last reference, on the main thread
  EXPECT_TRUE(rig.controllerDestroyed);
  EXPECT_TRUE(rig.controllerDestroyedOnMain);

  queues->runAll();
  EXPECT_EQ(answers, Answers{std::nullopt});
  EXPECT_EQ(changes, 0);
  // The refresh step still reports; nothing else runs, the lookup included.
  EXPECT_THAT(rig.sink->take(), ElementsAre("LumaroManager: Updated displays array with 2 items"));
  subscription.reset();  // outliving the manager is fine
}

TEST_F(Lifetime, TheLastReleaseOnABackgroundLookupDestroysOnTheMainQueue) {
  bool completed = false;
  manager().loadEDIDDetails(found, [&](std::optional<DisplayEDIDDetails> details) {
    completed = details.has_value();
    rig.manager.reset();  // the lookup now holds the only reference
  });

  queues->runNextGlobal();
  EXPECT_TRUE(completed);
  EXPECT_FALSE(rig.controllerDestroyed);
  EXPECT_EQ(queues->pendingMain(), 2u);  // the store, then the destruction

  queues->runAllMain();
  EXPECT_TRUE(rig.controllerDestroyed);
  EXPECT_TRUE(rig.controllerDestroyedOnMain);
}

TEST_F(Lifetime, ALookupDiscardedUnrunStillAnswersOnce) {
  Answers answers;
  manager().loadEDIDDetails(found, [&](std::optional<DisplayEDIDDetails> details) { answers.push_back(details); });
  EXPECT_TRUE(answers.empty());
  EXPECT_EQ(queues->discardAll(), 1u);
  EXPECT_EQ(answers, Answers{std::nullopt});
}

// --- change notification ---

TEST_F(Lifetime, ObserversMayUnsubscribeThemselvesAndOthersMidNotification) {
  std::vector<std::string> calls;
  Subscription first;
  Subscription second;
  // Notes the call, then drops a subscription.
  const auto noting = [&](const char* call, Subscription& drop) {
    return [&calls, &drop, call] {
      calls.push_back(call);
      drop.reset();
    };
  };
  first = rig.manager->subscribe({.willChange = noting("first will", second), .didChange = noting("first did", first)});
  second = rig.manager->subscribe(
      {.willChange = [&] { calls.push_back("second will"); }, .didChange = [&] { calls.push_back("second did"); }});
  manager().setBrightness(found, 0.75f);
  queues->runAllMain();
  manager().setBrightness(found, 0.5f);
  queues->runAllMain();
  EXPECT_THAT(calls, ElementsAre("first will", "first did"));
}

}  // namespace
}  // namespace lumaro::testing
