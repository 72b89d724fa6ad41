#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ports/display_services.hpp"

namespace lumaro::displays {

// In-memory online displays and registry services, for tests and the demo.
// Every failure the lookup must survive can be configured, and every handle
// handed out is counted until it is released. Thread-safe.
class SimulatedDisplayServices final : public DisplayServices {
 public:
  struct OnlineDisplay {
    DisplayID id = 0;
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0;  // 0 = none
  };

  // One registry service: its information dictionary (absent = the service
  // has none) and its registry properties.
  struct Service {
    std::optional<InfoDictionary> info;
    InfoDictionary properties;
  };

  // A service as a display presents it: numeric "DisplayVendorID" and
  // "DisplayProductID" in its dictionary, the raw EDID as "IODisplayEDID".
  static Service displayService(std::int64_t vendor, std::int64_t product, std::vector<std::uint8_t> edid);

  // Attaches a display described by `edid`: an online display whose numbers
  // come from the EDID and an "IODisplayConnect" service carrying it. Returns
  // the new display ID (one above the highest so far, starting at 1), or
  // nullopt when `edid` holds no valid base block.
  std::optional<DisplayID> attachDisplay(std::vector<std::uint8_t> edid);

  void addOnlineDisplay(OnlineDisplay display);
  // A non-zero code makes the online-display query fail with it.
  void setOnlineListResult(std::int32_t result);
  // Services of a class are delivered in the order they were added.
  void addService(std::string className, Service service);
  // The query for `className` fails (no iterator).
  void failMatching(std::string className);

  // Services and iterators handed out and not yet released.
  std::ptrdiff_t liveHandles() const { return live_->load(); }

  OnlineDisplays onlineDisplayList(std::uint32_t maxDisplays) override;
  std::uint32_t vendorNumber(DisplayID display) override;
  std::uint32_t modelNumber(DisplayID display) override;
  std::uint32_t serialNumber(DisplayID display) override;
  std::unique_ptr<RegistryIterator> matchingServices(std::string_view className) override;

 private:
  OnlineDisplay find(DisplayID display) const;

  mutable std::mutex mutex_;
  std::vector<OnlineDisplay> online_;
  std::int32_t onlineResult_ = 0;
  std::map<std::string, std::vector<Service>, std::less<>> services_;
  std::set<std::string, std::less<>> failingClasses_;
  // Shared with the handles so one outliving this object stays safe.
  std::shared_ptr<std::atomic<std::ptrdiff_t>> live_ = std::make_shared<std::atomic<std::ptrdiff_t>>(0);
};

}  // namespace lumaro::displays
