#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "edid/edid_identity.hpp"
#include "edid_rig.hpp"

namespace lumaro::testing {
namespace {

using displays::InfoDictionary;
using displays::OtherValue;
using displays::RegistryValue;
using displays::SimulatedDisplayServices;
using Service = SimulatedDisplayServices::Service;
using Edids = std::vector<std::vector<std::uint8_t>>;

// Hands the harvest a canned dump (one metadata line per EDID), or fails the
// launch when there is none. The tool's own behaviour is covered elsewhere.
class CannedDumpLauncher final : public process::ProcessLauncher {
 public:
  explicit CannedDumpLauncher(std::optional<Edids> edids = std::nullopt) : edids_(std::move(edids)) {}

  process::RunResult run(const std::string&, const std::vector<std::string>&) override {
    if (!edids_) return process::LaunchFailed{"unavailable"};
    std::string text;
    for (const auto& edid : *edids_) text += "    |   \"Metadata\" = {\"EDID\"=<" + testing_edid::hexOf(edid) + ">}\n";
    return process::Completed{{text.begin(), text.end()}, {}, 0};
  }

 private:
  std::optional<Edids> edids_;
};

std::vector<std::string> prefixedAll(std::vector<std::string> lines) {
  for (auto& line : lines) line = prefixed(line);
  return lines;
}

class EdidLookup : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(rig.simulated->liveHandles(), 0) << "a registry handle was never released"; }

  EdidRig rig{std::make_shared<CannedDumpLauncher>()};
};

// --- The online-display source ---------------------------------------------

struct OnlineCase {
  const char* name;
  std::function<void(SimulatedDisplayServices&)> setUp;
  std::vector<std::string> lines;     // the lookup's lines after "Fetching", before the registry dump
  std::optional<std::string> serial;  // of the details found, if any
};

void PrintTo(const OnlineCase& c, std::ostream* os) { *os << c.name; }

const std::string kNoDisplay = "No matching display found in CGDisplay list";

// One matching online display whose service holds `edid` (absent: no such property).
std::function<void(SimulatedDisplayServices&)> appleDisplay(std::optional<RegistryValue> edid,
                                                            std::uint32_t displaySerial = 0) {
  return [=](SimulatedDisplayServices& s) {
    s.addOnlineDisplay({7, 0x0610, 0x9226, displaySerial});
    Service service{InfoDictionary{{"DisplayVendorID", 1552}, {"DisplayProductID", 0x9226}}, {}};
    if (edid) service.properties.emplace("IODisplayEDID", *edid);
    s.addService("IODisplayConnect", std::move(service));
  };
}

std::vector<std::string> oneDisplay(std::initializer_list<std::string> tail) {
  std::vector<std::string> lines{"Found 1 online display(s)", "Display 0: vendor 0x0610 product 0x9226"};
  lines.insert(lines.end(), tail);
  return lines;
}

const std::vector<std::string> kFetched =
    oneDisplay({"Got EDID data via display service (256 bytes)", "Successfully fetched EDID via CoreGraphics"});

class EdidLookupOnline : public EdidLookup, public ::testing::WithParamInterface<OnlineCase> {};

TEST_P(EdidLookupOnline, WalksTheOnlineDisplaysBeforeTheRegistryDump) {
  GetParam().setUp(*rig.simulated);
  const auto details = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, std::nullopt);
  auto lines = rig.sink->lines();
  lines.erase(std::find(lines.begin(), lines.end(), prefixed("Getting EDID data via ioreg command")), lines.end());
  auto expected = prefixedAll(GetParam().lines);
  expected.insert(expected.begin(), prefixed("Fetching EDID for vendor 0x05AC product 0x9226"));
  EXPECT_EQ(lines, expected);
  ASSERT_EQ(details.has_value(), GetParam().serial.has_value());
  if (details) {
    EXPECT_EQ(details->serialNumber, *GetParam().serial);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Online, EdidLookupOnline,
    ::testing::Values(
        OnlineCase{"ListFails", [](auto& s) { s.setOnlineListResult(1000); }, {"CGGetOnlineDisplayList failed"}, {}},
        OnlineCase{"NoDisplays", [](auto&) {}, {"Found 0 online display(s)", kNoDisplay}, {}},
        // Every display examined gets a line; neither matches vendor and model.
        OnlineCase{"NoMatchingDisplay",
                   [](auto& s) {
                     s.addOnlineDisplay({1, 0x10AC, 0xA0C4, 0});
                     s.addOnlineDisplay({2, 0x0610, 0x9227, 0});
                     s.addService("IODisplayConnect", SimulatedDisplayServices::displayService(0x0610, 0x9226, {}));
                   },
                   {"Found 2 online display(s)", "Display 0: vendor 0x10AC product 0xA0C4",
                    "Display 1: vendor 0x0610 product 0x9227", kNoDisplay},
                   {}},
        OnlineCase{"ServiceWithoutEdid", appleDisplay(std::nullopt), oneDisplay({kNoDisplay}), {}},
        OnlineCase{"EdidPropertyNotData", appleDisplay(std::string("00ffffffffffff00")), oneDisplay({kNoDisplay}), {}},
        OnlineCase{"EdidTooShort",
                   appleDisplay(makeEdid({.length = 100})),
                   oneDisplay({"Got EDID data via display service (100 bytes)", "EDID parser failed", kNoDisplay}),
                   {}},
        OnlineCase{"Found", appleDisplay(makeEdid({.serial = 31})), kFetched, "31"},
        // Without an EDID serial number the display's own number stands in.
        OnlineCase{"SerialFromDisplay", appleDisplay(makeEdid({}), 4242), kFetched, "4242"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Which registry service qualifies --------------------------------------

// A display service whose EDID carries `tag` as its serial number.
Service tagged(RegistryValue vendor, RegistryValue product, std::uint32_t tag) {
  auto service = SimulatedDisplayServices::displayService(0, 0, makeEdid({.serial = tag}));
  service.info = InfoDictionary{{"DisplayVendorID", std::move(vendor)}, {"DisplayProductID", std::move(product)}};
  return service;
}

Service qualifying(std::uint32_t tag) { return tagged(0x0610, 0x9226, tag); }

struct ServiceCase {
  const char* name;
  std::function<void(SimulatedDisplayServices&)> setUp;
  std::optional<std::uint32_t> tag;  // of the service found, if any
  std::int64_t product = 0x9226;     // searched for
};

void PrintTo(const ServiceCase& c, std::ostream* os) { *os << c.name; }

class EdidServiceSearch : public EdidLookup, public ::testing::WithParamInterface<ServiceCase> {};

TEST_P(EdidServiceSearch, FindsTheFirstQualifyingServiceForTheProduct) {
  GetParam().setUp(*rig.simulated);
  {
    const auto service = rig.controller->findAppleDisplayService(GetParam().product);
    ASSERT_EQ(service != nullptr, GetParam().tag.has_value());
    if (service) {
      EXPECT_EQ(rig.simulated->liveHandles(), 1) << "everything but the returned service is released already";
      const auto edid = rig.controller->readDisplayEDID(*service);
      ASSERT_TRUE(edid.has_value());
      EXPECT_EQ(displays::edidIdentity(*edid)->serial, *GetParam().tag);
    }
  }
  EXPECT_TRUE(rig.sink->lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Qualification, EdidServiceSearch,
    ::testing::Values(
        ServiceCase{"DisplayVendorNumber", [](auto& s) { s.addService("IODisplayConnect", qualifying(1)); }, 1},
        ServiceCase{"UsbVendorNumber", [](auto& s) { s.addService("IODisplay", tagged(1452, 0x9226, 2)); }, 2},
        ServiceCase{"DecimalTexts", [](auto& s) { s.addService("IODisplay", tagged("1552", "+37414", 3)); }, 3},
        ServiceCase{"HexTextVendor", [](auto& s) { s.addService("IODisplay", tagged("0x0610", 0x9226, 4)); }, {}},
        ServiceCase{"OtherVendor", [](auto& s) { s.addService("IODisplay", tagged(0x10AC, 0x9226, 5)); }, {}},
        // Another supported model is not this display's service.
        ServiceCase{"OtherSupportedModel", [](auto& s) { s.addService("IODisplay", tagged(0x0610, 0x9227, 6)); }, {}},
        // A product outside the supported set never qualifies, even when searched for.
        ServiceCase{
            "UnsupportedProduct", [](auto& s) { s.addService("IODisplay", tagged(0x0610, 0x1234, 7)); }, {}, 0x1234},
        ServiceCase{"ValuesOfOtherTypes",
                    [](auto& s) {
                      s.addService("IODisplay", tagged(OtherValue{}, 0x9226, 8));
                      s.addService("IODisplay", tagged(0x0610, std::vector<std::uint8_t>{0x26}, 9));
                    },
                    {}},
        ServiceCase{"SkipsServicesWithoutDictionaryOrKeys",
                    [](auto& s) {
                      s.addService("IODisplayConnect", Service{std::nullopt, {}});
                      s.addService("IODisplayConnect", Service{InfoDictionary{{"DisplayVendorID", 1552}}, {}});
                      s.addService("IODisplayConnect", qualifying(10));
                    },
                    10},
        ServiceCase{"ClassOrderBeforeServiceOrder",
                    [](auto& s) {
                      s.addService("IOFramebuffer", qualifying(11));
                      s.addService("IODisplay", qualifying(12));
                      s.addService("IODisplay", qualifying(13));
                    },
                    12},
        ServiceCase{"FailedClassQueryIsSkipped",
                    [](auto& s) {
                      s.addService("IODisplayConnect", qualifying(14));
                      s.failMatching("IODisplayConnect");
                      s.addService("IOFramebuffer", qualifying(15));
                    },
                    15}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The registry-dump source ----------------------------------------------

struct DumpCase {
  const char* name;
  std::optional<Edids> entries;  // nullopt: the tool cannot run
  std::optional<std::string> usbSerial;
  std::string verdict;               // the lookup's last line
  std::optional<std::string> found;  // "<product ID> <serial>" of the details found, if any
};

void PrintTo(const DumpCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> entry(std::uint16_t product, std::uint32_t serial = 0) {
  return makeEdid({.product = product, .serial = serial});
}

const std::string kNoEdid = "No matching EDID found";
const std::string kByProduct = "Found matching EDID by product ID 37414";

class EdidLookupDump : public ::testing::TestWithParam<DumpCase> {};

TEST_P(EdidLookupDump, MatchesEntriesInListOrder) {
  const DumpCase& c = GetParam();
  EdidRig rig{std::make_shared<CannedDumpLauncher>(c.entries)};
  const auto details = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, c.usbSerial);
  // Entries that are skipped print nothing: their count and the verdict end the lookup.
  const std::size_t count = c.entries ? c.entries->size() : 0;
  const auto lines = rig.sink->lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_THAT(
      std::vector(lines.end() - 2, lines.end()),
      ::testing::ElementsAre(prefixed("Found " + std::to_string(count) + " displays with EDID data via IORegistry"),
                             prefixed(c.verdict)));
  ASSERT_EQ(details.has_value(), c.found.has_value());
  if (details) {
    EXPECT_EQ(details->productID + " " + details->serialNumber, *c.found);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dump, EdidLookupDump,
    ::testing::Values(DumpCase{"ToolUnavailable", std::nullopt, "1", kNoEdid, {}},
                      DumpCase{"SerialMatchInEarlierEntryWins", Edids{entry(0x9218, 777), entry(0x9226)}, "777",
                               "Found matching EDID by serial 777", "0x9218 777"},
                      DumpCase{"ProductLineWinsWithinAnEntry", Edids{entry(0x9226, 777)}, "777", kByProduct,
                               "0x9226 777"},
                      // Without an EDID serial the display's USB serial stands in.
                      DumpCase{"UsbSerialStandsIn", Edids{entry(0x9226)}, "CY0001", kByProduct, "0x9226 CY0001"},
                      DumpCase{"NoUsbSerialMatchesOnlyByProduct", Edids{entry(0x9218, 777)}, std::nullopt, kNoEdid, {}},
                      // An all-zero EDID serial is no serial, so "0" has nothing to equal.
                      DumpCase{"UsbSerialZero", Edids{entry(0x9218)}, "0", kNoEdid, {}},
                      DumpCase{"LeadingZerosDiffer", Edids{entry(0x9218, 123)}, "0123", kNoEdid, {}},
                      DumpCase{"ShortAndHeaderlessEntriesSkippedSilently",
                               Edids{makeEdid({.length = 100}),
                                     [] {
                                       auto headerless = entry(0x9226);
                                       headerless[7] = 0xFF;
                                       return headerless;
                                     }(),
                                     makeEdid({.length = 128})},
                               std::nullopt, kByProduct, "0x9226 Unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumaro::testing
