#include "adapters/simulated/manual_dispatch_queues.hpp"

#include <iterator>
#include <utility>

namespace lumaro {

ManualDispatchQueues::~ManualDispatchQueues() { discardAll(); }

void ManualDispatchQueues::asyncMain(Block block) {
  std::lock_guard lock(mutex_);
  main_.push_back(std::move(block));
}

void ManualDispatchQueues::asyncGlobal(Block block) {
  std::lock_guard lock(mutex_);
  global_.push_back(std::move(block));
}

bool ManualDispatchQueues::isMainThread() const {
  switch (running_) {
    case Context::main:
      return true;
    case Context::global:
      return false;
    case Context::caller:
      break;
  }
  return callerIsMain_;
}

std::size_t ManualDispatchQueues::pendingMain() const {
  std::lock_guard lock(mutex_);
  return main_.size();
}

std::size_t ManualDispatchQueues::pendingGlobal() const {
  std::lock_guard lock(mutex_);
  return global_.size();
}

bool ManualDispatchQueues::run(std::deque<Block>& queue, std::size_t index, Context context) {
  Block block;
  {
    std::lock_guard lock(mutex_);
    if (index >= queue.size()) return false;
    const auto at = queue.begin() + static_cast<std::ptrdiff_t>(index);
    block = std::move(*at);
    queue.erase(at);
  }
  // Blocks may submit more work or pump nested; restore what was running before.
  const auto previous = std::exchange(running_, context);
  block();
  block = nullptr;  // what the block captured is released in the same context
  running_ = previous;
  return true;
}

bool ManualDispatchQueues::runNextMain() { return run(main_, 0, Context::main); }

std::size_t ManualDispatchQueues::runAllMain() {
  std::size_t ran = 0;
  while (runNextMain()) ++ran;
  return ran;
}

bool ManualDispatchQueues::runNextGlobal() { return run(global_, 0, Context::global); }

bool ManualDispatchQueues::runGlobalAt(std::size_t index) { return run(global_, index, Context::global); }

std::size_t ManualDispatchQueues::runAllGlobal() {
  std::size_t ran = 0;
  while (runNextGlobal()) ++ran;
  return ran;
}

std::size_t ManualDispatchQueues::runAll() {
  std::size_t ran = 0;
  for (;;) {
    const auto step = runAllGlobal() + runAllMain();
    if (step == 0) return ran;
    ran += step;
  }
}

std::size_t ManualDispatchQueues::discardAll() {
  std::deque<Block> main;
  std::deque<Block> global;
  {
    std::lock_guard lock(mutex_);
    main.swap(main_);
    global.swap(global_);
  }
  // Destroyed outside the lock: a block's captures may submit again as they go.
  return main.size() + global.size();
}

void ManualDispatchQueues::setCallerIsMainThread(bool onMain) { callerIsMain_ = onMain; }

}  // namespace lumaro
