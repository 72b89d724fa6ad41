#include "platform/simulated/manual_dispatch_queues.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumaro {
namespace {

using ::testing::ElementsAre;

// The model tests lean on these: they reproduce interleavings through them.
TEST(ManualDispatchQueues, RunsOnlyWhenPumpedInTheOrderAsked) {
  ManualDispatchQueues queues;
  std::vector<std::string> ran;
  for (const char* name : {"g0", "g1", "g2"}) {
    queues.asyncGlobal([&, name] {
      ran.push_back(name);
      queues.asyncMain([&, name] { ran.push_back(std::string("after ") + name); });
    });
  }
  queues.asyncMain([&] { ran.push_back("m0"); });
  EXPECT_TRUE(ran.empty());

  EXPECT_TRUE(queues.runGlobalAt(2));
  EXPECT_TRUE(queues.runNextGlobal());
  EXPECT_FALSE(queues.runGlobalAt(1));  // only one left
  EXPECT_EQ(queues.pendingGlobal(), 1u);
  EXPECT_EQ(queues.runAllMain(), 3u);
  EXPECT_EQ(queues.runAll(), 2u);
  EXPECT_THAT(ran, ElementsAre("g2", "g0", "m0", "after g2", "after g0", "g1", "after g1"));
}

TEST(ManualDispatchQueues, ReportsTheContextOfWhatRuns) {
  ManualDispatchQueues queues;
  std::vector<bool> onMain;
  queues.asyncGlobal([&] {
    onMain.push_back(queues.isMainThread());
    queues.asyncMain([&] { onMain.push_back(queues.isMainThread()); });
    queues.runAllMain();  // nested pumping restores the global context
    onMain.push_back(queues.isMainThread());
  });
  EXPECT_TRUE(queues.isMainThread());
  queues.runAll();
  EXPECT_THAT(onMain, ElementsAre(false, true, false));
  EXPECT_TRUE(queues.isMainThread());
  queues.setCallerIsMainThread(false);
  EXPECT_FALSE(queues.isMainThread());
}

}  // namespace
}  // namespace lumaro
