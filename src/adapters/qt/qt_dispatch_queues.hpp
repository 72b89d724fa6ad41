#pragma once

#include <memory>
#include <thread>

#include "ports/dispatch.hpp"

namespace lumaro {

class WorkerPool;

// The main queue is the Qt event loop of the thread that creates the adapter
// (create it on the application's thread, once the QCoreApplication exists);
// the global queue is a pool of background threads owned by the adapter.
//
// Main blocks wait in a FIFO of our own; a byte written to a pipe wakes the
// event loop, which runs them one at a time in submission order, never inside
// asyncMain() even when called on the main thread. Submitting from other
// threads touches no Qt object, so every hand-off between threads goes through
// standard-library primitives.
//
// Destroy the adapter on the main thread: it runs the background blocks
// already submitted to their end, and drops main blocks not yet run.
class QtDispatchQueues final : public DispatchQueues {
 public:
  // `maxBackgroundThreads` <= 0 means one per core.
  explicit QtDispatchQueues(int maxBackgroundThreads = 0);
  ~QtDispatchQueues() override;
  QtDispatchQueues(const QtDispatchQueues&) = delete;
  QtDispatchQueues& operator=(const QtDispatchQueues&) = delete;

  void asyncMain(Block block) override;
  void asyncGlobal(Block block) override;
  bool isMainThread() const override;

  // Blocks until no background block is queued or running. Main thread only.
  void waitForGlobal();

 private:
  class MainQueue;

  const std::thread::id mainThread_;
  std::shared_ptr<MainQueue> main_;
  std::unique_ptr<WorkerPool> workers_;
};

}  // namespace lumaro
