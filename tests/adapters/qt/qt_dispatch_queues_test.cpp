#include "adapters/qt/qt_dispatch_queues.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "qt_test_support.hpp"

namespace lumaro::testing {
namespace {

class QtDispatch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testApplication(); }
};

TEST_F(QtDispatch, MainBlocksRunLaterInSubmissionOrderOnTheMainThread) {
  QtDispatchQueues queues(2);
  const auto mainThread = std::this_thread::get_id();
  std::vector<int> fromMain;
  std::vector<int> fromBackground;
  std::atomic<int> offMain{0};
  auto block = [&](std::vector<int>& into, int value) {
    return [&, value] {
      if (std::this_thread::get_id() != mainThread || !queues.isMainThread()) ++offMain;
      into.push_back(value);
    };
  };

  for (int i = 0; i < 100; ++i) queues.asyncMain(block(fromMain, i));
  queues.asyncGlobal([&] {
    for (int i = 0; i < 100; ++i) queues.asyncMain(block(fromBackground, i));
  });
  EXPECT_TRUE(fromMain.empty());  // never inside the submitting call

  ASSERT_TRUE(spinUntil([&] { return fromMain.size() == 100 && fromBackground.size() == 100; }));
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(fromMain[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(fromBackground[static_cast<std::size_t>(i)], i);
  }
  EXPECT_EQ(offMain, 0);
}

TEST_F(QtDispatch, GlobalBlocksRunOffTheMainThreadAndAtTheSameTime) {
  QtDispatchQueues queues(2);
  std::mutex mutex;
  std::condition_variable arrived;
  int present = 0;
  std::atomic<int> metTheOther{0};
  std::atomic<int> onMain{0};
  for (int i = 0; i < 2; ++i) {
    queues.asyncGlobal([&] {
      if (queues.isMainThread()) ++onMain;
      std::unique_lock lock(mutex);
      ++present;
      arrived.notify_all();
      // Only blocks that run concurrently can both see the other arrive.
      if (arrived.wait_for(lock, std::chrono::seconds(10), [&] { return present == 2; })) ++metTheOther;
    });
  }
  queues.waitForGlobal();
  EXPECT_EQ(metTheOther, 2);
  EXPECT_EQ(onMain, 0);
  EXPECT_TRUE(queues.isMainThread());
}

TEST_F(QtDispatch, DestructionFinishesEveryGlobalBlockSubmitted) {
  std::atomic<int> finished{0};
  {
    QtDispatchQueues queues(1);  // one thread: two of the three are still queued
    for (int i = 0; i < 3; ++i) {
      queues.asyncGlobal([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++finished;
      });
    }
  }
  EXPECT_EQ(finished, 3);
}

TEST_F(QtDispatch, AMainBlockMayReleaseTheLastReferenceToItsQueues) {
  auto queues = std::make_shared<QtDispatchQueues>(1);
  std::atomic<bool> globalDone{false};
  bool released = false;
  queues->asyncGlobal([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    globalDone = true;
  });
  queues->asyncMain([&, keep = queues]() mutable {
    keep.reset();  // destroys the adapter from inside its own dispatch
    released = globalDone.load();
  });
  queues.reset();
  ASSERT_TRUE(spinUntil([&] { return released; }));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace lumaro::testing
