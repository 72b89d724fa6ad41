#include "described_displays.hpp"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <utility>

#include "adapters/hidapi/hidraw_descriptor.hpp"

namespace lumaro::bench {

namespace {

namespace fs = std::filesystem;

class DescribedDisplay final : public hid::Device {
 public:
  DescribedDisplay(std::int64_t product, std::optional<std::vector<std::uint8_t>> descriptor,
                   std::shared_ptr<std::vector<std::uint8_t>> report)
      : properties_{{"VendorID", hid::Property{std::int64_t{0x05AC}}},
                    {"ProductID", hid::Property{product}},
                    {"Transport", hid::Property{std::string("USB")}},
                    {"Product", hid::Property{std::string("Studio Display")}}},
        descriptor_(std::move(descriptor)),
        report_(std::move(report)) {}

  std::optional<hid::Property> property(std::string_view key) const override {
    const auto found = properties_.find(key);
    if (found == properties_.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::vector<std::uint8_t>> reportDescriptor() const override { return descriptor_; }
  hid::IOReturn open() override { return hid::kIOReturnSuccess; }
  hid::IOReturn getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer, std::int64_t& length) override {
    if (report_->empty() || reportID != (*report_)[0]) return hid::kIOReturnUnsupported;
    const std::size_t size = std::min(buffer.size(), report_->size());
    std::copy_n(report_->begin(), size, buffer.begin());
    length = static_cast<std::int64_t>(size);
    return hid::kIOReturnSuccess;
  }
  hid::IOReturn setFeatureReport(std::uint8_t, std::span<const std::uint8_t> buffer) override {
    report_->assign(buffer.begin(), buffer.end());
    return hid::kIOReturnSuccess;
  }
  void close() override {}

 private:
  std::map<std::string, hid::Property, std::less<>> properties_;
  std::optional<std::vector<std::uint8_t>> descriptor_;
  std::shared_ptr<std::vector<std::uint8_t>> report_;
};

}  // namespace

DescribedDisplays::DescribedDisplays(std::size_t count, const std::vector<std::uint8_t>& descriptor,
                                     std::vector<std::uint8_t> report)
    : count_(count) {
  std::string pattern = (fs::temp_directory_path() / "lumaro-bench-XXXXXX").string();
  root_ = ::mkdtemp(pattern.data());
  for (std::size_t index = 0; index < count; ++index) {
    const fs::path device = root_ / "class/hidraw" / ("hidraw" + std::to_string(index)) / "device";
    fs::create_directories(device);
    std::ofstream(device / "report_descriptor", std::ios::binary)
        .write(reinterpret_cast<const char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
    reports_.push_back(std::make_shared<std::vector<std::uint8_t>>(report));
  }
}

DescribedDisplays::~DescribedDisplays() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::optional<std::vector<std::shared_ptr<hid::Device>>> DescribedDisplays::copyDevices() {
  std::vector<std::shared_ptr<hid::Device>> devices;
  for (std::size_t index = 0; index < count_; ++index) {
    const std::string node = "/dev/hidraw" + std::to_string(index);
    devices.push_back(
        std::make_shared<DescribedDisplay>(0x1114, hid::hidrawReportDescriptor(root_, node), reports_[index]));
  }
  return devices;
}

}  // namespace lumaro::bench
