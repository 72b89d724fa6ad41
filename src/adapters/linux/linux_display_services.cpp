#include "adapters/linux/linux_display_services.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "edid/edid_identity.hpp"

namespace lumaro::displays {
namespace {

namespace fs = std::filesystem;

// "card0-DP-1", "card1-HDMI-A-2"; not "card0", "renderD128" or "version".
bool isConnectorName(std::string_view name) {
  return name.starts_with("card") && name.find('-') != std::string_view::npos;
}

std::optional<std::vector<std::uint8_t>> readBytes(const fs::path& path) {
  // sysfs reports size 0 for attribute files, so read to the end instead.
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
    bytes.push_back(static_cast<std::uint8_t>(*it));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool isConnected(const fs::path& connectorDir) {
  const auto bytes = readBytes(connectorDir / "status");
  if (!bytes) return false;
  std::string status(bytes->begin(), bytes->end());
  while (!status.empty() && (status.back() == '\n' || status.back() == ' ')) status.pop_back();
  return status == "connected";
}

class ConnectorService final : public RegistryService {
 public:
  explicit ConnectorService(std::vector<std::uint8_t> edid) : edid_(std::move(edid)) {}

  std::optional<InfoDictionary> createInfoDictionary() const override {
    const auto identity = edidIdentity(edid_);
    if (!identity) return std::nullopt;
    return InfoDictionary{{"DisplayVendorID", static_cast<std::int64_t>(identity->vendor)},
                          {"DisplayProductID", static_cast<std::int64_t>(identity->model)}};
  }

  std::optional<RegistryValue> property(std::string_view key) const override {
    if (key == "IODisplayEDID") return RegistryValue{edid_};
    return std::nullopt;
  }

 private:
  std::vector<std::uint8_t> edid_;
};

class ConnectorIterator final : public RegistryIterator {
 public:
  explicit ConnectorIterator(std::vector<LinuxDisplayServices::Connector> connectors)
      : connectors_(std::move(connectors)) {}

  std::unique_ptr<RegistryService> next() override {
    if (position_ >= connectors_.size()) return nullptr;
    return std::make_unique<ConnectorService>(std::move(connectors_[position_++].edid));
  }

 private:
  std::vector<LinuxDisplayServices::Connector> connectors_;
  std::size_t position_ = 0;
};

}  // namespace

LinuxDisplayServices::LinuxDisplayServices(std::filesystem::path root) : root_(std::move(root)) {}

std::optional<std::vector<LinuxDisplayServices::Connector>> LinuxDisplayServices::onlineConnectors() const {
  // The error_code overloads throughout: a vanishing entry must not throw.
  std::error_code error;
  std::vector<std::string> names;
  for (fs::directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    std::error_code notDirectory;
    // Entries are symlinks into the device tree; follow them.
    if (isConnectorName(name) && fs::is_directory(it->path(), notDirectory)) names.push_back(std::move(name));
  }
  if (error) return std::nullopt;
  std::sort(names.begin(), names.end());

  std::vector<Connector> connectors;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const fs::path dir = root_ / names[i];
    if (!isConnected(dir)) continue;
    auto edid = readBytes(dir / "edid");
    if (!edid || !edidIdentity(*edid)) continue;
    connectors.push_back({static_cast<DisplayID>(i + 1), std::move(*edid)});
  }
  return connectors;
}

std::optional<LinuxDisplayServices::Connector> LinuxDisplayServices::connector(DisplayID display) const {
  auto connectors = onlineConnectors();
  if (!connectors) return std::nullopt;
  for (auto& candidate : *connectors) {
    if (candidate.id == display) return std::move(candidate);
  }
  return std::nullopt;
}

OnlineDisplays LinuxDisplayServices::onlineDisplayList(std::uint32_t maxDisplays) {
  const auto connectors = onlineConnectors();
  if (!connectors) return {kListFailed, {}};
  OnlineDisplays result;
  for (const auto& c : *connectors) {
    if (result.ids.size() >= maxDisplays) break;
    result.ids.push_back(c.id);
  }
  return result;
}

// A display that went away between the query and these calls reports zeros.
std::uint32_t LinuxDisplayServices::vendorNumber(DisplayID display) {
  const auto c = connector(display);
  return c ? edidIdentity(c->edid)->vendor : 0;
}

std::uint32_t LinuxDisplayServices::modelNumber(DisplayID display) {
  const auto c = connector(display);
  return c ? edidIdentity(c->edid)->model : 0;
}

std::uint32_t LinuxDisplayServices::serialNumber(DisplayID display) {
  const auto c = connector(display);
  return c ? edidIdentity(c->edid)->serial : 0;
}

std::unique_ptr<RegistryIterator> LinuxDisplayServices::matchingServices(std::string_view className) {
  if (className != "IODisplayConnect") return std::make_unique<ConnectorIterator>(std::vector<Connector>{});
  auto connectors = onlineConnectors();
  if (!connectors) return nullptr;
  return std::make_unique<ConnectorIterator>(std::move(*connectors));
}

}  // namespace lumaro::displays
