#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "display_control/records/records.hpp"
#include "platform/dispatch.hpp"
#include "platform/line_sink.hpp"

namespace lumaro {

class ChangeObservers;

// Keeps one observer registered; dropping it unregisters. Safe to outlive the manager.
class Subscription {
 public:
  Subscription() = default;
  Subscription(std::weak_ptr<ChangeObservers> observers, std::uint64_t token);
  Subscription(Subscription&& other) noexcept;
  Subscription& operator=(Subscription&& other) noexcept;
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription();

 private:
  void reset();
  std::weak_ptr<ChangeObservers> observers_;
  std::uint64_t token_ = 0;
};

// The one observable model object behind the interface. Every operation is
// called on the main thread; published state changes only inside blocks
// queued on the main queue.
class LumaroManager : public std::enable_shared_from_this<LumaroManager> {
 public:
  using DetailsCompletion = std::function<void(std::optional<DisplayEDIDDetails>)>;

  // Told around every change of `displays`: willChange before, didChange after
  // (one pair per assignment or in-place row change), on the main thread.
  struct ChangeObserver {
    std::function<void()> willChange;
    std::function<void()> didChange;
  };

  // The manager is destroyed on the main thread, whichever thread drops the
  // last reference.
  static std::shared_ptr<LumaroManager> create(std::unique_ptr<RarudoRuroravOduradadur> controller,
                                               std::shared_ptr<DispatchQueues> queues,
                                               std::shared_ptr<LineSink> sink);
  ~LumaroManager();
  LumaroManager(const LumaroManager&) = delete;
  LumaroManager& operator=(const LumaroManager&) = delete;

  RarudoRuroravOduradadur& controller() { return *controller_; }
  const std::vector<DisplayItem>& displays() const { return displays_; }
  const std::unordered_map<Uuid, AppleDisplay>& deviceMap() const { return deviceMap_; }

  [[nodiscard]] Subscription subscribe(ChangeObserver observer);

  void refresh();
  void setBrightness(const Uuid& displayID, float value);
  // `completion` runs exactly once: inline when no row has `displayID`,
  // otherwise later on a background thread.
  void loadEDIDDetails(const Uuid& displayID, DetailsCompletion completion);

 private:
  LumaroManager(std::unique_ptr<RarudoRuroravOduradadur> controller, std::shared_ptr<DispatchQueues> queues,
                std::shared_ptr<LineSink> sink);

  DisplayItem makeDisplayItem(const AppleDisplay& display, std::unordered_map<Uuid, AppleDisplay>& newMap);
  void applyRefresh(std::unordered_map<Uuid, AppleDisplay> newMap, std::vector<DisplayItem> newDisplays);
  void applyBrightness(const Uuid& displayID, float value);
  void storeEDIDDetails(const Uuid& displayID, DisplayEDIDDetails details);

  std::unique_ptr<RarudoRuroravOduradadur> controller_;
  std::shared_ptr<DispatchQueues> queues_;
  std::shared_ptr<LineSink> sink_;
  std::shared_ptr<ChangeObservers> observers_;
  std::vector<DisplayItem> displays_;
  std::unordered_map<Uuid, AppleDisplay> deviceMap_;
};

}  // namespace lumaro
