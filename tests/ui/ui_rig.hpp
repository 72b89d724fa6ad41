#pragma once

// The interface on a real manager over simulated hardware, with queues that
// run only when the test pumps them, so every step between a click and the
// published change can be looked at.

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>

#include "manager_rig.hpp"
#include "adapters/simulated/manual_dispatch_queues.hpp"

class QWidget;

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace lumaro::testing {

struct UiRig : ManagerRig {
  explicit UiRig(std::shared_ptr<ManualDispatchQueues> manual = std::make_shared<ManualDispatchQueues>())
      : ManagerRig(manual), queues(std::move(manual)) {}

  // Refreshes and publishes at once.
  void refreshNow() {
    manager->refresh();
    queues->runAllMain();
  }
  // Runs everything pending on the queues, until nothing is left.
  void settle() { queues->runAll(); }

  int refreshes() const { return linesStartingWith("LumaroManager: Starting refresh"); }
  int brightnessCalls() const { return linesStartingWith("LumaroManager: setBrightness called with value: "); }

  // The manager's queues, typed so the test can pump them step by step.
  std::shared_ptr<ManualDispatchQueues> queues;
};

// What the window system sends a widget on un-minimising: a spontaneous show.
void showSpontaneously(QWidget& widget);

// The texts a user sees in `root`, top to bottom and left to right: labels,
// elided labels and the titles of info rows, skipping hidden widgets.
QStringList visibleTexts(const QWidget& root);

}  // namespace lumaro::testing
