#include "adapters/qt/qt_dispatch_queues.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <mutex>
#include <utility>

#include "adapters/qt/worker_pool.hpp"

namespace lumaro {

namespace {

// The notifier whose activation is being handled on this thread, if any. A
// QObject must not be deleted inside its own event handler, so a queue
// destroyed by one of its own main blocks hands the notifier to deleteLater().
thread_local const QObject* activeNotifier = nullptr;

class ActivationScope {
 public:
  explicit ActivationScope(const QObject* notifier) : previous_(std::exchange(activeNotifier, notifier)) {}
  ~ActivationScope() { activeNotifier = previous_; }
  ActivationScope(const ActivationScope&) = delete;
  ActivationScope& operator=(const ActivationScope&) = delete;

 private:
  const QObject* previous_;
};

bool makeNonBlockingPipe(std::array<int, 2>& fds) {
  if (::pipe(fds.data()) != 0) return false;
  for (const int fd : fds) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  return true;
}

}  // namespace

// The FIFO of main blocks and the pipe that wakes the event loop. Shared with
// the notifier's slot, so a drain in progress keeps it alive even when the
// adapter goes away inside one of the blocks.
class QtDispatchQueues::MainQueue : public std::enable_shared_from_this<MainQueue> {
 public:
  MainQueue() {
    if (!makeNonBlockingPipe(fds_)) {
      std::perror("QtDispatchQueues: pipe");
      fds_ = {-1, -1};
    }
  }

  ~MainQueue() {
    for (const int fd : fds_) {
      if (fd >= 0) ::close(fd);
    }
  }

  MainQueue(const MainQueue&) = delete;
  MainQueue& operator=(const MainQueue&) = delete;

  // On the main thread, once the shared_ptr owning this exists.
  void watch() {
    if (fds_[0] < 0) return;
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated,
                     [self = shared_from_this(), notifier = static_cast<const QObject*>(notifier_)] {
                       ActivationScope scope(notifier);
                       self->drain();
                     });
  }

  // Pending and further blocks are dropped unrun from here on.
  void unwatch() {
    open_ = false;
    if (!notifier_) return;
    QSocketNotifier* const notifier = std::exchange(notifier_, nullptr);
    notifier->setEnabled(false);
    if (activeNotifier == notifier) {
      notifier->deleteLater();
    } else {
      delete notifier;  // takes the slot, and its hold on this queue, with it
    }
  }

  void push(Block block) {
    {
      std::lock_guard lock(mutex_);
      blocks_.push_back(std::move(block));
    }
    // A full pipe already holds a pending wake-up; nothing else can fail here.
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(fds_[1], &byte, 1);
  }

 private:
  // Runs the blocks queued before this wake-up, one at a time, oldest first.
  // Blocks they queue wrote their own wake-up and run in the next turn of the
  // event loop, so a block that keeps requeueing itself cannot starve it.
  void drain() {
    std::array<char, 256> bytes{};
    while (::read(fds_[0], bytes.data(), bytes.size()) > 0) {
    }
    std::size_t count = 0;
    {
      std::lock_guard lock(mutex_);
      count = blocks_.size();
    }
    for (; count > 0 && open_; --count) {
      Block block;
      {
        std::lock_guard lock(mutex_);
        if (blocks_.empty()) return;
        block = std::move(blocks_.front());
        blocks_.pop_front();
      }
      block();
    }
  }

  std::array<int, 2> fds_{-1, -1};
  QSocketNotifier* notifier_ = nullptr;  // lives in the main thread
  bool open_ = true;                     // main thread only
  std::mutex mutex_;
  std::deque<Block> blocks_;
};

QtDispatchQueues::QtDispatchQueues(int maxBackgroundThreads)
    : mainThread_(std::this_thread::get_id()),
      main_(std::make_shared<MainQueue>()),
      workers_(std::make_unique<WorkerPool>(maxBackgroundThreads > 0
                                                ? static_cast<std::size_t>(maxBackgroundThreads)
                                                : std::max(1u, std::thread::hardware_concurrency()))) {
  main_->watch();
}

QtDispatchQueues::~QtDispatchQueues() {
  workers_.reset();  // runs what was submitted; those blocks may still queue main blocks
  main_->unwatch();
}

void QtDispatchQueues::asyncMain(Block block) { main_->push(std::move(block)); }

void QtDispatchQueues::asyncGlobal(Block block) { workers_->submit(std::move(block)); }

bool QtDispatchQueues::isMainThread() const { return std::this_thread::get_id() == mainThread_; }

void QtDispatchQueues::waitForGlobal() { workers_->waitForIdle(); }

}  // namespace lumaro
