#include "model/lumaro_manager.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "diagnostics/format.hpp"

namespace lumaro {

namespace {

// Brightness lives in 0.0–1.0. NaN fails both comparisons and so becomes 0.0:
// a row never holds a value outside the range, and the byte sent is defined.
float clampBrightness(float value) {
  if (!(value > 0.0f)) return 0.0f;
  if (value > 1.0f) return 1.0f;
  return value;
}

// Calls the completion exactly once: with the lookup's result when it runs, or
// with absent when the lookup is discarded without having answered (a queue
// dropping its pending blocks).
class CompletionOnce {
 public:
  explicit CompletionOnce(LumaroManager::DetailsCompletion completion) : completion_(std::move(completion)) {}
  CompletionOnce(const CompletionOnce&) = delete;
  CompletionOnce& operator=(const CompletionOnce&) = delete;
  ~CompletionOnce() { (*this)(std::nullopt); }

  void operator()(std::optional<DisplayEDIDDetails> result) {
    auto completion = std::exchange(completion_, nullptr);
    if (completion) completion(std::move(result));
  }

 private:
  LumaroManager::DetailsCompletion completion_;
};

}  // namespace

std::shared_ptr<LumaroManager> LumaroManager::create(std::unique_ptr<RarudoRuroravOduradadur> controller,
                                                     std::shared_ptr<DispatchQueues> queues,
                                                     std::shared_ptr<LineSink> sink,
                                                     std::shared_ptr<LevelMemory> memory) {
  if (!controller || !queues || !sink) {
    if (sink) sink->writeLine("LumaroManager: Missing controller or queues; no manager created");
    return nullptr;
  }
  return std::shared_ptr<LumaroManager>(
      new LumaroManager(std::move(controller), std::move(queues), std::move(sink), std::move(memory)),
      &LumaroManager::destroy);
}

LumaroManager::LumaroManager(std::unique_ptr<RarudoRuroravOduradadur> controller,
                             std::shared_ptr<DispatchQueues> queues, std::shared_ptr<LineSink> sink,
                             std::shared_ptr<LevelMemory> memory)
    : controller_(std::move(controller)),
      queues_(std::move(queues)),
      sink_(std::move(sink)),
      observers_(std::make_shared<ChangeObservers>()),
      memory_(std::move(memory)) {}

LumaroManager::~LumaroManager() = default;

void LumaroManager::destroy(LumaroManager* manager) {
  // The views and the HID devices belong to the main thread, so the last
  // release from a background lookup hands the deletion over to it.
  const auto queues = manager->queues_;  // outlives the delete below
  if (queues->isMainThread()) {
    delete manager;
  } else {
    queues->asyncMain([manager] { delete manager; });
  }
}

void LumaroManager::say(const std::string& line) const { sink_->writeLine(line); }

void LumaroManager::publish(const std::function<void()>& change) {
  observers_->notifyWillChange();
  change();
  observers_->notifyDidChange();
}

Subscription LumaroManager::subscribe(ChangeObserver observer) {
  return Subscription(observers_, observers_->add(std::move(observer)));
}

// --- refresh ---

void LumaroManager::refresh() {
  say("LumaroManager: Starting refresh");
  const auto detected = controller_->detectDisplays();
  say("LumaroManager: Detected " + std::to_string(detected.size()) + " displays");

  std::unordered_map<Uuid, AppleDisplay> newMap;
  std::vector<DisplayItem> newDisplays;
  newDisplays.reserve(detected.size());
  for (const auto& display : detected) newDisplays.push_back(makeDisplayItem(display, newMap));
  if (memory_) memory_->present(detected);

  queues_->asyncMain([manager = weak_from_this(), sink = sink_, newMap = std::move(newMap),
                      newDisplays = std::move(newDisplays)]() mutable {
    applyRefresh(manager, *sink, std::move(newMap), std::move(newDisplays));
  });
}

std::optional<float> LumaroManager::restoreRemembered(const AppleDisplay& display, std::optional<float> reported) {
  const auto level = memory_->levelOnArrival(display, reported);
  if (!level) return reported;
  say("LumaroManager: Restoring remembered brightness " + diag::floatValue(*level) + " for " +
      display.name.value_or("Unknown"));
  const hid::IOReturn status = controller_->writeBrightness(display, *level);
  if (status != hid::kIOReturnSuccess) {
    say("LumaroManager: Restoring brightness failed: " + diag::code(status));
    return reported;
  }
  return level;
}

DisplayItem LumaroManager::makeDisplayItem(const AppleDisplay& display,
                                           std::unordered_map<Uuid, AppleDisplay>& newMap) {
  say("LumaroManager: Reading brightness for " + display.name.value_or("Unknown"));
  const auto read = controller_->readBrightness(display);
  say("LumaroManager: Got brightness: " + diag::optionalFloat(read.value));
  const auto shown = memory_ ? restoreRemembered(display, read.value) : read.value;
  const float brightness = clampBrightness(shown.value_or(0.5f));
  say("LumaroManager: Using brightness: " + diag::floatValue(brightness));
  newMap.insert_or_assign(display.id, display);
  DisplayItem item = DisplayItem::from(display, brightness);
  // The row keeps the stand-in for the lines and the slider's range, and says
  // why it is one, so the window never shows it as the display's brightness.
  if (!read.value) item.brightnessFailure = brightnessFailureFor(read.failure);
  return item;
}

void LumaroManager::applyRefresh(const std::weak_ptr<LumaroManager>& manager, LineSink& sink,
                                 std::unordered_map<Uuid, AppleDisplay> newMap, std::vector<DisplayItem> newDisplays) {
  const auto count = newDisplays.size();
  if (auto self = manager.lock()) {
    self->deviceMap_ = std::move(newMap);
    self->publish([&] { self->displays_ = std::move(newDisplays); });
  }
  sink.writeLine("LumaroManager: Updated displays array with " + std::to_string(count) + " items");
}

// --- brightness ---

void LumaroManager::setBrightness(const Uuid& displayID, float value) {
  say("LumaroManager: setBrightness called with value: " + diag::floatValue(value));
  const float clamped = clampBrightness(value);
  const auto found = deviceMap_.find(displayID);
  if (found == deviceMap_.end()) {
    say("LumaroManager: Display not found in deviceMap!");
    return;
  }
  const AppleDisplay display = found->second;
  say("LumaroManager: Setting brightness to " + diag::floatValue(clamped) + " for display " +
      display.name.value_or("Unknown"));
  const hid::IOReturn status = controller_->writeBrightness(display, clamped);
  const bool accepted = status == hid::kIOReturnSuccess;
  say("LumaroManager: setBrightness result: " + diag::boolean(accepted));
  if (!accepted) {
    markUncontrollable(displayID, brightnessFailureFor(status));
    return;
  }
  if (memory_) memory_->chose(display, clamped);
  queues_->asyncMain([manager = weak_from_this(), displayID, clamped] {
    if (auto self = manager.lock()) self->applyBrightness(displayID, clamped);
  });
}

std::vector<DisplayItem>::iterator LumaroManager::rowFor(const Uuid& displayID) {
  return std::find_if(displays_.begin(), displays_.end(),
                      [&](const DisplayItem& item) { return item.id == displayID; });
}

void LumaroManager::markUncontrollable(const Uuid& displayID, BrightnessFailure failure) {
  // A refused or vanished display will refuse the next move too: the row says
  // so instead of offering a slider that does nothing. A one-off error leaves
  // the row as it was.
  if (failure == BrightnessFailure::kError) return;
  queues_->asyncMain([manager = weak_from_this(), displayID, failure] {
    const auto self = manager.lock();
    if (!self) return;
    const auto row = self->rowFor(displayID);
    if (row == self->displays_.end() || row->brightnessFailure == failure) return;
    self->publish([&] { row->brightnessFailure = failure; });
  });
}

void LumaroManager::applyBrightness(const Uuid& displayID, float value) {
  const auto row = rowFor(displayID);
  if (row == displays_.end()) return;  // replaced by a refresh meanwhile
  publish([&] { row->brightness = value; });
  say("LumaroManager: Updated UI with new brightness");
}

// --- details ---

void LumaroManager::loadEDIDDetails(const Uuid& displayID, DetailsCompletion completion) {
  const auto row = rowFor(displayID);
  if (row == displays_.end()) {
    if (completion) completion(std::nullopt);
    return;
  }
  // The EDID the display sent over USB tells it from a twin of the same model.
  std::shared_ptr<const std::vector<std::uint8_t>> usbEDID;
  if (const auto device = deviceMap_.find(displayID); device != deviceMap_.end() && device->second.usbEDID) {
    usbEDID = std::make_shared<const std::vector<std::uint8_t>>(*device->second.usbEDID);
  }
  queues_->asyncGlobal([manager = weak_from_this(), item = *row, displayID, usbEDID = std::move(usbEDID),
                        answer = std::make_shared<CompletionOnce>(std::move(completion))] {
    const auto self = manager.lock();  // kept for the whole lookup
    if (!self) {
      (*answer)(std::nullopt);
      return;
    }
    auto details = self->controller_->fetchEDIDDetails(item.vendorID, item.productID, item.serialNumber,
                                                       usbEDID ? std::optional(*usbEDID) : std::nullopt);
    if (details) {
      self->queues_->asyncMain([manager, displayID, found = *details] {
        if (auto store = manager.lock()) store->storeEDIDDetails(displayID, found);
      });
    }
    (*answer)(std::move(details));
  });
}

void LumaroManager::storeEDIDDetails(const Uuid& displayID, const DisplayEDIDDetails& details) {
  const auto row = rowFor(displayID);
  if (row == displays_.end()) return;  // replaced by a refresh meanwhile
  DisplayItem updated = *row;
  updated.details = details;
  publish([&] { *row = std::move(updated); });
}

}  // namespace lumaro
