#pragma once

#include <functional>

#include "adapters/qt/qt_dispatch_queues.hpp"

namespace lumaro::app {

// Runs the Qt main queue until every block submitted before the call has run,
// so a command sees the rows its own refresh or write published.
std::function<void()> settleMainQueue(QtDispatchQueues& queues);

}  // namespace lumaro::app
