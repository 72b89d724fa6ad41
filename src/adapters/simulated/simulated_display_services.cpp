#include "adapters/simulated/simulated_display_services.hpp"

#include <algorithm>
#include <utility>

#include "edid/edid_identity.hpp"

namespace lumaro::displays {
namespace {

using Counter = std::shared_ptr<std::atomic<std::ptrdiff_t>>;

// Counts itself live from construction to destruction.
class CountedHandle {
 public:
  explicit CountedHandle(Counter counter) : counter_(std::move(counter)) { ++*counter_; }
  ~CountedHandle() { --*counter_; }
  CountedHandle(const CountedHandle&) = delete;
  CountedHandle& operator=(const CountedHandle&) = delete;

 private:
  Counter counter_;
};

class SimulatedService final : public RegistryService {
 public:
  SimulatedService(SimulatedDisplayServices::Service data, Counter counter)
      : handle_(std::move(counter)), data_(std::move(data)) {}

  std::optional<InfoDictionary> createInfoDictionary() const override { return data_.info; }

  std::optional<RegistryValue> property(std::string_view key) const override {
    if (auto it = data_.properties.find(key); it != data_.properties.end()) return it->second;
    return std::nullopt;
  }

 private:
  CountedHandle handle_;
  SimulatedDisplayServices::Service data_;
};

class SimulatedIterator final : public RegistryIterator {
 public:
  SimulatedIterator(std::vector<SimulatedDisplayServices::Service> services, Counter counter)
      : handle_(counter), services_(std::move(services)), counter_(std::move(counter)) {}

  std::unique_ptr<RegistryService> next() override {
    if (position_ >= services_.size()) return nullptr;
    return std::make_unique<SimulatedService>(services_[position_++], counter_);
  }

 private:
  CountedHandle handle_;
  std::vector<SimulatedDisplayServices::Service> services_;
  Counter counter_;
  std::size_t position_ = 0;
};

}  // namespace

SimulatedDisplayServices::Service SimulatedDisplayServices::displayService(std::int64_t vendor, std::int64_t product,
                                                                           std::vector<std::uint8_t> edid) {
  Service service;
  service.info = InfoDictionary{{"DisplayVendorID", vendor}, {"DisplayProductID", product}};
  service.properties.emplace("IODisplayEDID", std::move(edid));
  return service;
}

std::optional<DisplayID> SimulatedDisplayServices::attachDisplay(std::vector<std::uint8_t> edid) {
  const auto identity = edidIdentity(edid);
  if (!identity) return std::nullopt;
  std::lock_guard lock(mutex_);
  DisplayID id = 1;
  for (const auto& display : online_) id = std::max(id, display.id + 1);
  online_.push_back({id, identity->vendor, identity->model, identity->serial});
  services_["IODisplayConnect"].push_back(displayService(identity->vendor, identity->model, std::move(edid)));
  return id;
}

void SimulatedDisplayServices::addOnlineDisplay(OnlineDisplay display) {
  std::lock_guard lock(mutex_);
  online_.push_back(display);
}

void SimulatedDisplayServices::setOnlineListResult(std::int32_t result) {
  std::lock_guard lock(mutex_);
  onlineResult_ = result;
}

void SimulatedDisplayServices::addService(std::string className, Service service) {
  std::lock_guard lock(mutex_);
  services_[std::move(className)].push_back(std::move(service));
}

void SimulatedDisplayServices::failMatching(std::string className) {
  std::lock_guard lock(mutex_);
  failingClasses_.insert(std::move(className));
}

OnlineDisplays SimulatedDisplayServices::onlineDisplayList(std::uint32_t maxDisplays) {
  std::lock_guard lock(mutex_);
  OnlineDisplays result;
  result.result = onlineResult_;
  if (onlineResult_ != 0) return result;
  for (const auto& display : online_) {
    if (result.ids.size() >= maxDisplays) break;
    result.ids.push_back(display.id);
  }
  return result;
}

SimulatedDisplayServices::OnlineDisplay SimulatedDisplayServices::find(DisplayID display) const {
  std::lock_guard lock(mutex_);
  for (const auto& candidate : online_) {
    if (candidate.id == display) return candidate;
  }
  return {};  // an unknown display reports zeros, like an offline one
}

std::uint32_t SimulatedDisplayServices::vendorNumber(DisplayID display) { return find(display).vendor; }
std::uint32_t SimulatedDisplayServices::modelNumber(DisplayID display) { return find(display).model; }
std::uint32_t SimulatedDisplayServices::serialNumber(DisplayID display) { return find(display).serial; }

std::unique_ptr<RegistryIterator> SimulatedDisplayServices::matchingServices(std::string_view className) {
  std::lock_guard lock(mutex_);
  if (failingClasses_.contains(className)) return nullptr;
  std::vector<Service> services;
  if (auto it = services_.find(className); it != services_.end()) services = it->second;
  return std::make_unique<SimulatedIterator>(std::move(services), live_);
}

}  // namespace lumaro::displays
