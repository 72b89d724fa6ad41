#include "common/main_queue.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <memory>

namespace lumaro::app {

std::function<void()> settleMainQueue(QtDispatchQueues& queues) {
  return [&queues] {
    // The main queue runs in submission order: once this marker runs, so has everything before it.
    auto reached = std::make_shared<bool>(false);
    queues.asyncMain([reached] { *reached = true; });
    while (!*reached) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  };
}

}  // namespace lumaro::app
