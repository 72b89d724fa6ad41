// A brightness slider drag through the real display list: each iteration
// moves the held slider by one pixel's worth of positions, which sends the
// value through the manager and the controller to a simulated display, and
// then pumps the main queue so the row shows the published value.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QSlider>

#include "simulated_manager.hpp"
#include "ui/content_view.hpp"
#include "ui/display_row.hpp"

namespace {

using lumaro::bench::SimulatedManager;
using lumaro::ui::ContentView;
using lumaro::ui::DisplayRow;

// A drag across a 300-pixel groove moves about this many slider positions per pixel.
constexpr int kPositionsPerPixel = DisplayRow::kSliderSteps / 300;

// The next position of a drag that sweeps back and forth, so every step is a change.
int nextPosition(int position, int& direction) {
  if (position + direction * kPositionsPerPixel > DisplayRow::kSliderSteps ||
      position + direction * kPositionsPerPixel < 0) {
    direction = -direction;
  }
  return position + direction * kPositionsPerPixel;
}

// The list on screen with one display, its row published and drawn.
struct ShownList {
  ShownList() : rig(1), view(*rig.manager) {
    view.show();  // the list's own refresh runs as it comes on screen
    rig.pump();
    QCoreApplication::processEvents();  // exposed and drawn once
  }

  QSlider* slider() const { return view.rows().empty() ? nullptr : view.rows().front()->slider(); }

  SimulatedManager rig;
  ContentView view;
};

// Whether the display and the row ended on the slider's last value.
bool landed(const ShownList& list, int position) {
  const float value = DisplayRow::sliderValue(position);
  const auto& rows = list.rig.manager->displays();
  return list.rig.displays.front()->brightnessByte() == lumaro::RarudoRuroravOduradadur::brightnessByte(value) &&
         rows.size() == 1 && rows.front().brightness == value;
}

// Counts the paint events its widgets receive, to show what a run repainted.
class PaintCounter final : public QObject {
 public:
  explicit PaintCounter(QWidget& root) {
    root.installEventFilter(this);
    for (QWidget* child : root.findChildren<QWidget*>()) child->installEventFilter(this);
  }
  long paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

void drag(benchmark::State& state, bool repaint) {
  ShownList list;
  QSlider* slider = list.slider();
  if (slider == nullptr) {
    state.SkipWithError("no row to drag");
    return;
  }
  slider->setSliderDown(true);  // held: the row leaves the slider to the pointer
  int position = slider->value();
  int direction = 1;
  PaintCounter counter(list.view);
  for (auto _ : state) {
    position = nextPosition(position, direction);
    slider->setSliderPosition(position);
    list.rig.pump();
    if (repaint) QCoreApplication::processEvents();
  }
  slider->setSliderDown(false);
  state.counters["paints"] =
      benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
  if (!landed(list, position)) state.SkipWithError("the last value did not reach the display and the row");
}

// Value change, HID write and the row update: the budgeted path.
void BM_SliderChange(benchmark::State& state) { drag(state, false); }
BENCHMARK(BM_SliderChange)->Unit(benchmark::kMicrosecond);

// The same with one turn of the event loop after each change, as between two
// pointer moves: the layout and the repaint of what changed.
void BM_SliderChangeRepainted(benchmark::State& state) { drag(state, true); }
BENCHMARK(BM_SliderChangeRepainted)->Unit(benchmark::kMicrosecond);

// A refresh with the list on screen: four displays, and since every refresh
// gives each display a new id, four new rows replacing the old ones, laid
// out and drawn, and the old ones deleted.
void BM_RefreshWithListShown(benchmark::State& state) {
  SimulatedManager rig(4);
  ContentView view(*rig.manager);
  view.show();
  rig.pump();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    rig.manager->refresh();
    rig.pump();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // Besides the four rows only the All Displays row, itself a DisplayRow, may
  // remain: the replaced rows must have been deleted.
  if (view.rows().size() != 4 || view.findChildren<DisplayRow*>().size() != 5) {
    state.SkipWithError("the list does not hold exactly four rows");
  }
}
BENCHMARK(BM_RefreshWithListShown)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  QApplication application(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
