#include "platform/qt/qt_dispatch_queues.hpp"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <utility>

namespace lumaro {

namespace {

// The context object whose queued call is running on this thread, if any. A
// QObject must not be deleted from inside its own event handler, so an adapter
// destroyed by one of its own main blocks hands its context to deleteLater().
thread_local const QObject* dispatchingContext = nullptr;

class DispatchScope {
 public:
  explicit DispatchScope(const QObject* context) : previous_(std::exchange(dispatchingContext, context)) {}
  ~DispatchScope() { dispatchingContext = previous_; }
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;

 private:
  const QObject* previous_;
};

}  // namespace

QtDispatchQueues::QtDispatchQueues(int maxBackgroundThreads)
    : mainThread_(QThread::currentThread()), pool_(std::make_unique<QThreadPool>()), context_(new QObject) {
  if (maxBackgroundThreads > 0) pool_->setMaxThreadCount(maxBackgroundThreads);
}

QtDispatchQueues::~QtDispatchQueues() {
  pool_->waitForDone();
  if (dispatchingContext == context_) {
    context_->deleteLater();
  } else {
    delete context_;  // drops the main blocks still pending
  }
}

void QtDispatchQueues::asyncMain(Block block) {
  QMetaObject::invokeMethod(
      context_,
      [context = static_cast<const QObject*>(context_), block = std::move(block)] {
        DispatchScope scope(context);
        block();
      },
      Qt::QueuedConnection);
}

void QtDispatchQueues::asyncGlobal(Block block) { pool_->start(std::move(block)); }

bool QtDispatchQueues::isMainThread() const { return QThread::currentThread() == mainThread_; }

void QtDispatchQueues::waitForGlobal() { pool_->waitForDone(); }

}  // namespace lumaro
