// One refresh of the display list with four Cinema Displays attached:
// detection, a brightness read per display, and the main-queue step that
// publishes the new rows.

#include <benchmark/benchmark.h>

#include "simulated_manager.hpp"

namespace {

constexpr std::size_t kDisplays = 4;

void BM_Refresh(benchmark::State& state) {
  lumaro::bench::SimulatedManager rig(kDisplays);
  for (auto _ : state) {
    rig.manager->refresh();
    rig.pump();
  }
  // Every pass must have reached the published state, not stopped early.
  if (rig.manager->displays().size() != kDisplays || rig.manager->deviceMap().size() != kDisplays) {
    state.SkipWithError("the refresh did not publish four rows");
  }
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
