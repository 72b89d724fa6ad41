#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "ports/hid.hpp"

namespace lumaro::bench {

// USB displays that describe their brightness, as the hidraw adapter meets
// them: each node's report descriptor is a real file in a scratch sysfs tree
// (<root>/class/hidraw/hidrawN/device/report_descriptor), read afresh at every
// discovery; the feature reports themselves are held in memory.
class DescribedDisplays final : public hid::Manager {
 public:
  // `descriptor` goes into every node's file; `report` is each display's
  // brightness report as it starts (report ID first).
  DescribedDisplays(std::size_t count, const std::vector<std::uint8_t>& descriptor, std::vector<std::uint8_t> report);
  ~DescribedDisplays() override;
  DescribedDisplays(const DescribedDisplays&) = delete;
  DescribedDisplays& operator=(const DescribedDisplays&) = delete;

  void setDeviceMatching(const hid::DeviceMatching&) override {}
  hid::IOReturn open() override { return hid::kIOReturnSuccess; }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override;
  void close() override {}

 private:
  std::filesystem::path root_;
  std::size_t count_;
  std::vector<std::shared_ptr<std::vector<std::uint8_t>>> reports_;  // one per display, shared with its devices
};

}  // namespace lumaro::bench
