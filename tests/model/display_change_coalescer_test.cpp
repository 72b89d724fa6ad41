#include "model/display_change_coalescer.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "adapters/simulated/simulated_device_events.hpp"

namespace lumaro {
namespace {

// A script of device events ('e') and timer shots ('t'), how many refreshes
// it must cost, and how often the timer is armed: once per burst, never
// pushed back by later events, so a stream that never ends still refreshes.
struct BurstCase {
  const char* name;
  std::string script;
  int refreshes;
  int armings;
};
void PrintTo(const BurstCase& c, std::ostream* os) { *os << c.name; }

class Coalescing : public ::testing::TestWithParam<BurstCase> {};

TEST_P(Coalescing, OneRefreshPerBurst) {
  SimulatedDeviceEvents events;
  ManualTimer timer;
  int refreshes = 0;
  DisplayChangeCoalescer coalescer(events, timer, [&] { ++refreshes; });
  for (const char step : GetParam().script) {
    if (step == 'e') events.raise();
    if (step == 't') timer.fire();
  }
  EXPECT_EQ(refreshes, GetParam().refreshes);
  EXPECT_EQ(timer.starts(), GetParam().armings);
  EXPECT_EQ(timer.lastDelay().value_or(DisplayChangeCoalescer::kWindow), DisplayChangeCoalescer::kWindow);
}

INSTANTIATE_TEST_SUITE_P(Cases, Coalescing,
                         ::testing::Values(BurstCase{"Quiet", "t", 0, 0}, BurstCase{"OneEvent", "et", 1, 1},
                                           BurstCase{"HundredEvents", std::string(100, 'e') + "t", 1, 1},
                                           BurstCase{"TwoBursts", "eeteeet", 2, 2},
                                           // Not yet settled: the refresh waits for the shot.
                                           BurstCase{"Pending", "eee", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CoalescingLifetime, GoingAwayStopsListeningAndDropsAPendingRefresh) {
  SimulatedDeviceEvents events;
  ManualTimer timer;
  int refreshes = 0;
  {
    DisplayChangeCoalescer coalescer(events, timer, [&] { ++refreshes; });
    events.raise();
  }
  EXPECT_FALSE(events.hasListener());
  EXPECT_FALSE(timer.fire());
  EXPECT_EQ(refreshes, 0);
}

}  // namespace
}  // namespace lumaro
