#include "cli/model_display_commands.hpp"

#include <future>

#include "cli/hid_failure_watch.hpp"

namespace lumaro::cli {

const DisplayItem* ModelDisplayCommands::row(std::size_t number) const {
  const auto& rows = manager_->displays();
  if (number < 1 || number > rows.size()) return nullptr;
  return &rows[number - 1];
}

std::vector<DisplayStatus> ModelDisplayCommands::list() {
  if (manager_->displays().empty()) {
    manager_->refresh();
    settle_();
  }
  std::vector<DisplayStatus> statuses;
  for (const DisplayItem& item : manager_->displays()) {
    DisplayStatus status{.number = statuses.size() + 1,
                         .name = item.name,
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

DisplayFailure ModelDisplayCommands::setBrightness(std::size_t number, float value) {
  const DisplayItem* item = row(number);
  if (item == nullptr) return DisplayFailure::gone;
  const auto device = manager_->deviceMap().find(item->id);
  if (device == manager_->deviceMap().end() || !device->second.device) return DisplayFailure::gone;
  const std::shared_ptr<hid::Device> held = device->second.device;  // the row may be replaced meanwhile
  manager_->setBrightness(item->id, value);
  settle_();
  return HidFailureWatch::failureOf(*held);
}

std::optional<DisplayEDIDDetails> ModelDisplayCommands::info(std::size_t number) {
  const DisplayItem* item = row(number);
  if (item == nullptr) return std::nullopt;
  if (item->details) return item->details;
  auto answer = std::make_shared<std::promise<std::optional<DisplayEDIDDetails>>>();
  auto future = answer->get_future();
  manager_->loadEDIDDetails(
      item->id, [answer](std::optional<DisplayEDIDDetails> details) { answer->set_value(std::move(details)); });
  settle_();
  return future.get();
}

}  // namespace lumaro::cli
