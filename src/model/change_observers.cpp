#include "model/change_observers.hpp"

#include <utility>
#include <vector>

namespace lumaro {

std::uint64_t ChangeObservers::add(ChangeObserver observer) {
  const auto token = nextToken_++;
  observers_.emplace(token, std::make_shared<const ChangeObserver>(std::move(observer)));
  return token;
}

void ChangeObservers::remove(std::uint64_t token) { observers_.erase(token); }

void ChangeObservers::notifyWillChange() const { notify(&ChangeObserver::willChange); }

void ChangeObservers::notifyDidChange() const { notify(&ChangeObserver::didChange); }

void ChangeObservers::notify(std::function<void()> ChangeObserver::*which) const {
  // Iterate over a snapshot: callbacks may change the map under us.
  std::vector<std::pair<std::uint64_t, std::shared_ptr<const ChangeObserver>>> snapshot(observers_.begin(),
                                                                                        observers_.end());
  for (const auto& [token, observer] : snapshot) {
    if (!observers_.contains(token)) continue;  // unsubscribed by an earlier callback
    const auto& callback = (*observer).*which;
    if (callback) callback();
  }
}

Subscription::Subscription(std::weak_ptr<ChangeObservers> observers, std::uint64_t token)
    : observers_(std::move(observers)), token_(token) {}

Subscription::Subscription(Subscription&& other) noexcept
    : observers_(std::move(other.observers_)), token_(std::exchange(other.token_, 0)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    reset();
    observers_ = std::move(other.observers_);
    token_ = std::exchange(other.token_, 0);
  }
  return *this;
}

Subscription::~Subscription() { reset(); }

void Subscription::reset() {
  if (token_ != 0) {
    if (auto observers = observers_.lock()) observers->remove(token_);
  }
  observers_.reset();
  token_ = 0;
}

}  // namespace lumaro
