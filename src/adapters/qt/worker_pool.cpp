#include "adapters/qt/worker_pool.hpp"

#include <algorithm>
#include <utility>

namespace lumaro {

WorkerPool::WorkerPool(std::size_t maxThreads) : maxThreads_(std::max<std::size_t>(maxThreads, 1)) {}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& thread : threads_) thread.join();
}

void WorkerPool::submit(Block block) {
  std::unique_lock lock(mutex_);
  queue_.push_back(std::move(block));
  // Every parked thread may already be claimed by earlier submissions, so a
  // new one starts whenever the queue outgrows them.
  if (queue_.size() > waiting_ && threads_.size() < maxThreads_) {
    threads_.emplace_back([this] { work(); });
  }
  lock.unlock();
  wake_.notify_one();
}

void WorkerPool::waitForIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

void WorkerPool::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    ++waiting_;
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    --waiting_;
    if (queue_.empty()) return;  // stopping, and nothing left to run
    Block block = std::move(queue_.front());
    queue_.pop_front();
    ++running_;
    lock.unlock();
    block();
    block = nullptr;  // its captures go on this thread, before the pool counts it done
    lock.lock();
    --running_;
    if (queue_.empty() && running_ == 0) idle_.notify_all();
  }
}

}  // namespace lumaro
