#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "manager_rig.hpp"
#include "adapters/qt/qt_dispatch_queues.hpp"
#include "qt_test_support.hpp"

namespace lumaro::testing {
namespace {

using Identity = hid::SimulatedCinemaDisplay::Identity;

// The manager on the real event loop and a real thread pool: the flows end in
// the state the step-by-step tests predict, and every published change is
// made on the main thread.
TEST(ManagerOnQtQueues, RefreshAndConcurrentLookupsSettleOnTheMainThread) {
  testApplication();
  const auto mainThread = std::this_thread::get_id();
  ManagerRig rig(std::make_shared<QtDispatchQueues>(4));
  rig.attachEdid(0x9226);
  rig.attachEdid(0x9227);
  rig.plug(Identity{.productID = 0x9226, .name = "First"});
  rig.plug(Identity{.productID = 0x9227, .name = "Second"});
  rig.plug(Identity{.productID = 0x9218, .name = "No EDID"});

  std::atomic<int> changes{0};
  std::atomic<int> changesOffMain{0};
  const auto subscription = rig.manager->subscribe({.willChange =
                                                        [&] {
                                                          if (std::this_thread::get_id() != mainThread)
                                                            ++changesOffMain;
                                                        },
                                                    .didChange = [&] { ++changes; }});

  rig.manager->refresh();
  ASSERT_TRUE(spinUntil([&] { return rig.manager->displays().size() == 3; }));
  const auto rows = rig.manager->displays();

  std::mutex answersMutex;
  std::vector<std::pair<Uuid, std::optional<DisplayEDIDDetails>>> answers;
  std::atomic<int> answeredOnMain{0};
  const std::vector<Uuid> asked = {rows[0].id, rows[1].id, rows[2].id, rows[0].id,
                                   rows[1].id, rows[0].id, rows[1].id, rows[2].id};
  for (const Uuid& id : asked) {
    rig.manager->loadEDIDDetails(id, [&, id](std::optional<DisplayEDIDDetails> details) {
      if (std::this_thread::get_id() == mainThread) ++answeredOnMain;
      std::lock_guard lock(answersMutex);
      answers.emplace_back(id, std::move(details));
    });
  }
  ASSERT_TRUE(spinUntil([&] {
    std::lock_guard lock(answersMutex);
    return answers.size() == asked.size() && changes == 7;  // refresh, six stores
  }));

  const std::optional<DisplayEDIDDetails> expected = ManagerRig::attachedEdidDetails();
  for (const auto& [id, details] : answers) EXPECT_EQ(details, id == rows[2].id ? std::nullopt : expected);
  EXPECT_EQ(answeredOnMain, 0);
  EXPECT_EQ(rig.row(rows[0].id)->details, expected);
  EXPECT_EQ(rig.row(rows[1].id)->details, expected);
  EXPECT_FALSE(rig.row(rows[2].id)->details.has_value());
  EXPECT_EQ(changesOffMain, 0);
}

}  // namespace
}  // namespace lumaro::testing
