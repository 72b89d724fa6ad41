#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace lumaro {

// Told around one change of published state: willChange before, didChange after.
// Either may be empty.
struct ChangeObserver {
  std::function<void()> willChange = nullptr;
  std::function<void()> didChange = nullptr;
};

// The registered observers of one model object. Main thread only, like the
// state it announces.
class ChangeObservers {
 public:
  std::uint64_t add(ChangeObserver observer);
  void remove(std::uint64_t token);
  std::size_t size() const { return observers_.size(); }

  // Calls every observer registered when the call starts and still registered
  // when its turn comes, in registration order. An observer may add or remove
  // observers (itself included) from inside its callback.
  void notifyWillChange() const;
  void notifyDidChange() const;

 private:
  void notify(std::function<void()> ChangeObserver::*which) const;

  std::uint64_t nextToken_ = 1;
  // Shared so a callback stays alive while it runs, even if it unsubscribes itself.
  std::map<std::uint64_t, std::shared_ptr<const ChangeObserver>> observers_;
};

// Keeps one observer registered; dropping it unregisters. Safe to outlive the
// object observed. Main thread only.
class Subscription {
 public:
  Subscription() = default;
  Subscription(std::weak_ptr<ChangeObservers> observers, std::uint64_t token);
  Subscription(Subscription&& other) noexcept;
  Subscription& operator=(Subscription&& other) noexcept;
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription();

  // Unregisters now; later calls do nothing.
  void reset();

 private:
  std::weak_ptr<ChangeObservers> observers_;
  std::uint64_t token_ = 0;
};

}  // namespace lumaro
