#pragma once

#include <memory>

#include "platform/dispatch.hpp"

class QObject;
class QThread;
class QThreadPool;

namespace lumaro {

// The main queue is the event loop of the thread that creates the adapter
// (create it on the application's thread, after the QCoreApplication); the
// global queue is a thread pool of the adapter's own.
//
// Main blocks are posted as queued calls, so they run in submission order, one
// at a time, and never inside asyncMain() even when called on the main thread.
// Destroy the adapter on the main thread: it waits for the pool's blocks to
// finish, and main blocks not yet run are dropped unrun.
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

  // Blocks until every global block submitted so far has finished.
  void waitForGlobal();

 private:
  QThread* mainThread_;
  std::unique_ptr<QThreadPool> pool_;
  // Receives the queued calls; lives in the main thread.
  QObject* context_;
};

}  // namespace lumaro
