#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumaro {

// Background threads that run submitted blocks concurrently, in no particular
// order. Threads start on demand up to a maximum and stay until destruction.
// Built on the standard library so that thread sanitizers see every hand-off.
class WorkerPool {
 public:
  using Block = std::function<void()>;

  explicit WorkerPool(std::size_t maxThreads);
  // Runs every block already submitted, then joins the threads. Must not run
  // on one of the pool's own threads.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void submit(Block block);
  // Returns once no block is queued or running. Not from a pool thread.
  void waitForIdle();

 private:
  void work();

  const std::size_t maxThreads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Block> queue_;
  std::vector<std::thread> threads_;
  std::size_t waiting_ = 0;  // threads parked on wake_
  std::size_t running_ = 0;  // blocks being run
  bool stopping_ = false;
};

}  // namespace lumaro
