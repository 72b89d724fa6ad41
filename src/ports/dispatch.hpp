#pragma once

#include <functional>

namespace lumaro {

// The two execution contexts of the application.
//  - main queue: blocks run later on the main thread, never inside the
//    submitting call, one at a time, in submission order;
//  - global queue: blocks run later on background threads, concurrently and
//    in no particular order.
class DispatchQueues {
 public:
  using Block = std::function<void()>;
  virtual ~DispatchQueues() = default;

  virtual void asyncMain(Block block) = 0;
  virtual void asyncGlobal(Block block) = 0;
  virtual bool isMainThread() const = 0;
};

}  // namespace lumaro
