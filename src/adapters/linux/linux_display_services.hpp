#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/display_services.hpp"

namespace lumaro::displays {

// Online displays and display services from the DRM connectors in sysfs.
//
// A connector directory (card<N>-<port>) whose `status` reads "connected" and
// whose `edid` file holds a valid base block is an online display. Its ID is
// one plus its position among all connector directories sorted by name, so
// IDs stay put while monitors come and go. Vendor, model and serial numbers
// come from the EDID as the display reports them. The same connectors are the
// "IODisplayConnect" services (numeric "DisplayVendorID"/"DisplayProductID",
// raw EDID as the "IODisplayEDID" property); every other class is empty.
// Stateless: every call reads sysfs afresh, so it is safe from any thread.
class LinuxDisplayServices final : public DisplayServices {
 public:
  // Result of the online-display query when the root cannot be read.
  static constexpr std::int32_t kListFailed = 1000;

  explicit LinuxDisplayServices(std::filesystem::path root = "/sys/class/drm");

  OnlineDisplays onlineDisplayList(std::uint32_t maxDisplays) override;
  std::uint32_t vendorNumber(DisplayID display) override;
  std::uint32_t modelNumber(DisplayID display) override;
  std::uint32_t serialNumber(DisplayID display) override;
  std::unique_ptr<RegistryIterator> matchingServices(std::string_view className) override;

  struct Connector {
    DisplayID id = 0;
    std::vector<std::uint8_t> edid;  // a valid base block at least
  };

 private:
  // Connected connectors with a valid EDID, in ID order; absent when the
  // root cannot be listed.
  std::optional<std::vector<Connector>> onlineConnectors() const;
  std::optional<Connector> connector(DisplayID display) const;

  std::filesystem::path root_;
};

}  // namespace lumaro::displays
