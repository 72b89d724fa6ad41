#include "cli/model_display_commands.hpp"

#include <algorithm>
#include <future>

#include "cli/display_selection.hpp"
#include "cli/hid_failure_watch.hpp"

namespace lumaro::cli {

std::vector<DisplayStatus> ModelDisplayCommands::currentRows() {
  // Settling runs the event loop, where another call may arrive: only when there is something to wait for.
  if (catchUp_ && catchUp_()) settle_();
  if (manager_->displays().empty()) {
    manager_->refresh();
    settle_();
  }
  std::vector<DisplayStatus> statuses;
  for (const DisplayItem& item : manager_->displays()) {
    DisplayStatus status{.number = statuses.size() + 1,
                         .id = stableDisplayID(item),
                         .name = item.name,
                         .vendorID = item.vendorID,
                         .productID = item.productID,
                         .serialNumber = item.serialNumber,
                         .brightness = item.brightness};
    // The row holds a stand-in level for a display it could not read or control; say why instead.
    if (item.brightnessFailure) {
      status.readFailure = displayFailureOf(*item.brightnessFailure);
      status.brightness.reset();
    }
    statuses.push_back(std::move(status));
  }
  return statuses;
}

const DisplayItem* ModelDisplayCommands::rowOf(const DisplayStatus& status) const {
  const auto& rows = manager_->displays();
  const auto found = std::find_if(rows.begin(), rows.end(),
                                  [&](const DisplayItem& item) { return stableDisplayID(item) == status.id; });
  return found == rows.end() ? nullptr : &*found;
}

Answer<std::vector<DisplayStatus>> ModelDisplayCommands::list() { return currentRows(); }

Answer<std::vector<WriteOutcome>> ModelDisplayCommands::setBrightness(const std::optional<std::string>& selector,
                                                                      const BrightnessValue& value) {
  auto chosen = selectDisplays(currentRows(), selector, program_);
  if (auto* error = std::get_if<CommandError>(&chosen)) return std::move(*error);
  std::vector<WriteOutcome> outcomes;
  for (const DisplayStatus& status : std::get<std::vector<DisplayStatus>>(chosen)) {
    outcomes.push_back(write(status, value));
  }
  return outcomes;
}

WriteOutcome ModelDisplayCommands::write(const DisplayStatus& status, const BrightnessValue& value) {
  WriteOutcome outcome{.display = status, .failure = DisplayFailure::none, .failedRead = false};
  if (value.kind == BrightnessValue::Kind::relative && !status.brightness) {
    // Moving from an unknown level could jump anywhere.
    outcome.failure = status.readFailure;
    outcome.failedRead = true;
    return outcome;
  }
  const DisplayItem* item = rowOf(status);
  const auto device = item ? manager_->deviceMap().find(item->id) : manager_->deviceMap().end();
  if (device == manager_->deviceMap().end() || !device->second.device) {
    outcome.failure = DisplayFailure::gone;
    return outcome;
  }
  const float target = value.applyTo(status.brightness.value_or(0.0f));
  outcome.display.brightness = target;
  const std::shared_ptr<hid::Device> held = device->second.device;  // the row may be replaced meanwhile
  manager_->setBrightness(item->id, target);
  settle_();
  outcome.failure = HidFailureWatch::failureOf(*held);
  return outcome;
}

Answer<DisplayInfo> ModelDisplayCommands::info(const std::string& selector) {
  auto chosen = selectDisplays(currentRows(), selector, program_);
  if (auto* error = std::get_if<CommandError>(&chosen)) return std::move(*error);
  DisplayInfo answer{.display = std::get<std::vector<DisplayStatus>>(chosen).front(), .details = std::nullopt};
  const DisplayItem* item = rowOf(answer.display);
  if (item == nullptr) return answer;
  if (item->details) {
    answer.details = item->details;
    return answer;
  }
  auto found = std::make_shared<std::promise<std::optional<DisplayEDIDDetails>>>();
  auto future = found->get_future();
  manager_->loadEDIDDetails(
      item->id, [found](std::optional<DisplayEDIDDetails> details) { found->set_value(std::move(details)); });
  settle_();
  answer.details = future.get();
  return answer;
}

}  // namespace lumaro::cli
