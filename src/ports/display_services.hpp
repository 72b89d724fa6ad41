#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The online display list and the registry's display services, as the EDID
// lookup relies on them. Registry handles are RAII: dropping the unique_ptr
// releases the handle, so every path releases everything.
namespace lumaro::displays {

using DisplayID = std::uint32_t;

// Result of the online-display query; `result` is 0 on success and `ids`
// holds at most the requested maximum.
struct OnlineDisplays {
  std::int32_t result = 0;
  std::vector<DisplayID> ids;
};

// A value in a display information dictionary.
struct OtherValue {
  bool operator==(const OtherValue&) const = default;
};
using RegistryValue = std::variant<OtherValue, std::int64_t, std::string, std::vector<std::uint8_t>>;
using InfoDictionary = std::map<std::string, RegistryValue, std::less<>>;

class RegistryService {
 public:
  virtual ~RegistryService() = default;  // releases the service

  // The display information dictionary (preferred name only); absent when the
  // service has none.
  virtual std::optional<InfoDictionary> createInfoDictionary() const = 0;

  // A registry property of the service; absent when it has none.
  virtual std::optional<RegistryValue> property(std::string_view key) const = 0;
};

class RegistryIterator {
 public:
  virtual ~RegistryIterator() = default;  // releases the iterator
  // The next service, or nullptr when exhausted.
  virtual std::unique_ptr<RegistryService> next() = 0;
};

class DisplayServices {
 public:
  virtual ~DisplayServices() = default;

  virtual OnlineDisplays onlineDisplayList(std::uint32_t maxDisplays) = 0;
  virtual std::uint32_t vendorNumber(DisplayID display) = 0;
  virtual std::uint32_t modelNumber(DisplayID display) = 0;
  virtual std::uint32_t serialNumber(DisplayID display) = 0;  // 0 when none

  // Iterator over the services of `className`; nullptr when the query fails.
  virtual std::unique_ptr<RegistryIterator> matchingServices(std::string_view className) = 0;
};

}  // namespace lumaro::displays
