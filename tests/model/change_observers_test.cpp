#include "model/change_observers.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lumaro {
namespace {

using ::testing::ElementsAre;

TEST(ChangeObservers, ObserversAddedDuringANotificationWaitForTheNextOne) {
  auto observers = std::make_shared<ChangeObservers>();
  std::vector<std::string> calls;
  Subscription late;
  Subscription early(observers, observers->add({.willChange =
                                                     [&] {
                                                       calls.push_back("early");
                                                       if (!late.isActive()) {
                                                         late = Subscription(observers,
                                                                             observers->add({.willChange = [&] {
                                                                               calls.push_back("late");
                                                                             }}));
                                                       }
                                                     }}));
  observers->notifyWillChange();
  observers->notifyWillChange();
  EXPECT_THAT(calls, ElementsAre("early", "early", "late"));
}

TEST(ChangeObservers, SubscriptionsUnregisterWhenDroppedOrMovedOver) {
  auto observers = std::make_shared<ChangeObservers>();
  int calls = 0;
  {
    Subscription a(observers, observers->add({.didChange = [&] { ++calls; }}));
    Subscription b(observers, observers->add({.didChange = [&] { ++calls; }}));
    a = std::move(b);  // the first observer goes, the second stays under `a`
    EXPECT_EQ(observers->size(), 1u);
    observers->notifyDidChange();
    EXPECT_EQ(calls, 1);
  }
  EXPECT_EQ(observers->size(), 0u);

  Subscription outliving(observers, observers->add({}));
  observers.reset();
  outliving.reset();  // nothing left to unregister from
  EXPECT_FALSE(outliving.isActive());
}

}  // namespace
}  // namespace lumaro
