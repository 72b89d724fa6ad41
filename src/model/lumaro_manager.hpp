#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "display_control/records/records.hpp"
#include "model/change_observers.hpp"
#include "model/level_memory.hpp"
#include "ports/dispatch.hpp"
#include "ports/line_sink.hpp"

namespace lumaro {

// The one observable model object behind the interface. Every operation is
// called on the main thread; published state (`displays`) changes only inside
// blocks queued on the main queue, never inside the calling operation.
// Queued blocks hold the manager weakly; a background lookup holds it strongly
// while it runs.
class LumaroManager : public std::enable_shared_from_this<LumaroManager> {
 public:
  using DetailsCompletion = std::function<void(std::optional<DisplayEDIDDetails>)>;
  using ChangeObserver = lumaro::ChangeObserver;

  // Nullptr when any dependency is missing. With a `memory`, levels the user
  // sets are remembered and put back when a display returns. The manager is destroyed on the
  // main thread whichever thread drops the last reference (the destruction is
  // queued on the main queue when that happens elsewhere).
  static std::shared_ptr<LumaroManager> create(std::unique_ptr<RarudoRuroravOduradadur> controller,
                                               std::shared_ptr<DispatchQueues> queues, std::shared_ptr<LineSink> sink,
                                               std::shared_ptr<LevelMemory> memory = nullptr);
  ~LumaroManager();
  LumaroManager(const LumaroManager&) = delete;
  LumaroManager& operator=(const LumaroManager&) = delete;

  // The queues the manager publishes through; views hand their own results
  // to the main thread the same way.
  const std::shared_ptr<DispatchQueues>& queues() const { return queues_; }
  // The rows, in detection order; each has its display under the same id in deviceMap().
  const std::vector<DisplayItem>& displays() const { return displays_; }
  const std::unordered_map<Uuid, AppleDisplay>& deviceMap() const { return deviceMap_; }

  // Observers are told around every assignment of `displays` and every
  // in-place change of a row (one willChange/didChange pair each), on the
  // main thread. The subscription must be dropped on the main thread.
  [[nodiscard]] Subscription subscribe(ChangeObserver observer);

  // Detects the displays and reads their brightness now; the new rows and map
  // replace the old ones in a later main-queue step.
  void refresh();
  // Clamps `value` to 0.0–1.0 (NaN counts as 0.0) and writes it to the row's
  // display now; the row shows it after a later main-queue step, and only if
  // the display accepted the write. A write refused for lack of permission, or
  // to a display that is gone, marks the row with that failure instead.
  void setBrightness(const Uuid& displayID, float value);
  // Looks the row's EDID up on the global queue and stores a found result in
  // the row in a later main-queue step. `completion` runs exactly once: inline
  // when no row has `displayID`, otherwise on a background thread (or on the
  // thread that discards the lookup, with absent, if the queue drops it unrun).
  void loadEDIDDetails(const Uuid& displayID, DetailsCompletion completion);

 private:
  LumaroManager(std::unique_ptr<RarudoRuroravOduradadur> controller, std::shared_ptr<DispatchQueues> queues,
                std::shared_ptr<LineSink> sink, std::shared_ptr<LevelMemory> memory);
  static void destroy(LumaroManager* manager);

  void say(const std::string& line) const;
  // Runs `change` between the observers' willChange and didChange.
  void publish(const std::function<void()>& change);

  // Writes the remembered level to a returning display; the level it now shows.
  std::optional<float> restoreRemembered(const AppleDisplay& display, std::optional<float> reported);
  DisplayItem makeDisplayItem(const AppleDisplay& display, std::unordered_map<Uuid, AppleDisplay>& newMap);
  // Static: its closing line prints even when the manager is gone.
  static void applyRefresh(const std::weak_ptr<LumaroManager>& manager, LineSink& sink,
                           std::unordered_map<Uuid, AppleDisplay> newMap, std::vector<DisplayItem> newDisplays);
  // The published row with this id, or the end of the list.
  std::vector<DisplayItem>::iterator rowFor(const Uuid& displayID);
  void applyBrightness(const Uuid& displayID, float value);
  // Marks the row, in a later main-queue step, when a write failed for a
  // reason the next write will meet again (no permission, device gone).
  void markUncontrollable(const Uuid& displayID, BrightnessFailure failure);
  void storeEDIDDetails(const Uuid& displayID, const DisplayEDIDDetails& details);

  std::unique_ptr<RarudoRuroravOduradadur> controller_;
  std::shared_ptr<DispatchQueues> queues_;
  std::shared_ptr<LineSink> sink_;
  std::shared_ptr<ChangeObservers> observers_;
  std::shared_ptr<LevelMemory> memory_;  // may be null
  std::vector<DisplayItem> displays_;
  std::unordered_map<Uuid, AppleDisplay> deviceMap_;
};

}  // namespace lumaro
