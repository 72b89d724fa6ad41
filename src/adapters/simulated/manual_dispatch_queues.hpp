#pragma once

#include <cstddef>
#include <deque>
#include <mutex>

#include "ports/dispatch.hpp"

namespace lumaro {

// Queues that run nothing by themselves: work submitted through the ordinary
// port waits until its holder pumps it. A test pumps step by step, so every
// interleaving of the main queue and the background lookups can be
// reproduced on one thread; the direct command line pumps everything after
// each step of a command, which needs neither threads nor an event loop.
//
// isMainThread() is true in the pumping thread and while a main block runs,
// false while a global block runs; setCallerIsMainThread() changes what the
// pumping thread itself reports outside of any block.
//
// Submission is safe from any thread; pumping belongs to one thread, and the
// object must outlive the blocks it runs.
class ManualDispatchQueues final : public DispatchQueues {
 public:
  ManualDispatchQueues() = default;
  ~ManualDispatchQueues() override;  // discards pending blocks unrun
  ManualDispatchQueues(const ManualDispatchQueues&) = delete;
  ManualDispatchQueues& operator=(const ManualDispatchQueues&) = delete;

  // --- DispatchQueues ---
  void asyncMain(Block block) override;
  void asyncGlobal(Block block) override;
  bool isMainThread() const override;

  // --- pumping ---
  std::size_t pendingMain() const;
  std::size_t pendingGlobal() const;

  // Runs the oldest main block; false when none is pending.
  bool runNextMain();
  // Runs main blocks until none is pending, including blocks they submit; returns how many ran.
  std::size_t runAllMain();
  // Runs the oldest global block; false when none is pending.
  bool runNextGlobal();
  // Runs the global block at `index` among the pending ones (0 = oldest), so
  // lookups can finish in any order; false when there is no such block.
  bool runGlobalAt(std::size_t index);
  // Runs global blocks, oldest first, until none is pending; returns how many ran.
  std::size_t runAllGlobal();
  // Runs both queues until both are empty: every pending global block first,
  // then the main queue; repeated while either has work. Returns how many ran.
  std::size_t runAll();

  // Drops every pending block unrun; returns how many were dropped.
  std::size_t discardAll();

  void setCallerIsMainThread(bool onMain);

 private:
  enum class Context { caller, main, global };
  bool run(std::deque<Block>& queue, std::size_t index, Context context);

  mutable std::mutex mutex_;
  std::deque<Block> main_;
  std::deque<Block> global_;
  // What is running right now; only the pumping thread reads or writes these.
  Context running_ = Context::caller;
  bool callerIsMain_ = true;
};

}  // namespace lumaro
