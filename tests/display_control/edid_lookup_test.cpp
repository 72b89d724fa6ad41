#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "edid/edid_identity.hpp"
#include "edid_rig.hpp"

namespace lumaro::testing {
namespace {

using displays::InfoDictionary;
using displays::OtherValue;
using displays::RegistryValue;
using displays::SimulatedDisplayServices;
using ::testing::ElementsAre;
using Service = SimulatedDisplayServices::Service;
using Edids = std::vector<std::vector<std::uint8_t>>;

// Hands the harvest a canned dump (one metadata line per EDID), or fails the
// launch when there is none. The tool's own behaviour is covered elsewhere.
class CannedDumpLauncher final : public process::ProcessLauncher {
 public:
  explicit CannedDumpLauncher(std::optional<Edids> edids) {
    if (!edids) return;
    std::string text;
    for (const auto& edid : *edids) {
      text += "    |   \"Metadata\" = {\"EDID\"=<" + testing_edid::hexOf(edid) + ">}\n";
    }
    dump_ = std::vector<std::uint8_t>(text.begin(), text.end());
  }

  process::RunResult run(const std::string&, const std::vector<std::string>&) override {
    if (!dump_) return process::LaunchFailed{"unavailable"};
    return process::Completed{*dump_, {}, 0};
  }

 private:
  std::optional<std::vector<std::uint8_t>> dump_;
};

// The lookup's own lines before the registry dump is consulted.
std::vector<std::string> linesBeforeHarvest(const std::vector<std::string>& lines) {
  const auto harvest = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line == prefixed("Getting EDID data via ioreg command") || line.starts_with(prefixed("Returning cached"));
  });
  return {lines.begin(), harvest};
}

// The lookup's own lines once the registry dump's list is in hand.
std::vector<std::string> linesAfterHarvest(const std::vector<std::string>& lines) {
  const auto found = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.ends_with(" displays with EDID data via IORegistry");
  });
  return {found, lines.end()};
}

class EdidLookup : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(rig.simulated->liveHandles(), 0) << "a registry handle was never released"; }

  EdidRig rig{std::make_shared<CannedDumpLauncher>(std::nullopt)};
};

// --- The online-display source ---------------------------------------------

struct OnlineCase {
  const char* name;
  std::function<void(SimulatedDisplayServices&)> setUp;
  std::vector<std::string> lines;     // the lookup's lines before the registry dump
  std::optional<std::string> serial;  // of the details found, if any
};

void PrintTo(const OnlineCase& c, std::ostream* os) { *os << c.name; }

const std::string kFetching = prefixed("Fetching EDID for vendor 0x05AC product 0x9226");
const std::string kAppleDisplayLine = prefixed("Display 0: vendor 0x0610 product 0x9226");
const std::string kNoDisplay = prefixed("No matching display found in CGDisplay list");

// One matching online display whose service holds `edid` (absent: no such property).
std::function<void(SimulatedDisplayServices&)> appleDisplay(std::optional<RegistryValue> edid,
                                                            std::uint32_t displaySerial = 0) {
  return [=](SimulatedDisplayServices& s) {
    s.addOnlineDisplay({7, 0x0610, 0x9226, displaySerial});
    Service service{InfoDictionary{{"DisplayVendorID", std::int64_t{1552}}, {"DisplayProductID", std::int64_t{0x9226}}},
                    {}};
    if (edid) service.properties.emplace("IODisplayEDID", *edid);
    s.addService("IODisplayConnect", std::move(service));
  };
}

std::vector<std::string> oneDisplay(std::initializer_list<std::string> tail) {
  std::vector<std::string> lines{kFetching, prefixed("Found 1 online display(s)"), kAppleDisplayLine};
  lines.insert(lines.end(), tail);
  return lines;
}

const std::vector<std::string> kFetched = oneDisplay({prefixed("Got EDID data via display service (256 bytes)"),
                                                      prefixed("Successfully fetched EDID via CoreGraphics")});

class EdidLookupOnline : public EdidLookup, public ::testing::WithParamInterface<OnlineCase> {};

TEST_P(EdidLookupOnline, WalksTheOnlineDisplaysBeforeTheRegistryDump) {
  GetParam().setUp(*rig.simulated);
  const auto details = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, std::nullopt);
  EXPECT_EQ(linesBeforeHarvest(rig.sink->lines()), GetParam().lines);
  ASSERT_EQ(details.has_value(), GetParam().serial.has_value());
  if (details) {
    EXPECT_EQ(details->serialNumber, *GetParam().serial);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Online, EdidLookupOnline,
    ::testing::Values(
        OnlineCase{"ListFails",
                   [](auto& s) { s.setOnlineListResult(1000); },
                   {kFetching, prefixed("CGGetOnlineDisplayList failed")},
                   std::nullopt},
        OnlineCase{
            "NoDisplays", [](auto&) {}, {kFetching, prefixed("Found 0 online display(s)"), kNoDisplay}, std::nullopt},
        // Every display examined gets a line; neither matches vendor and model.
        OnlineCase{
            "NoMatchingDisplay",
            [](auto& s) {
              s.addOnlineDisplay({1, 0x10AC, 0xA0C4, 0});
              s.addOnlineDisplay({2, 0x0610, 0x9227, 0});
              s.addService("IODisplayConnect", SimulatedDisplayServices::displayService(0x0610, 0x9226, makeEdid({})));
            },
            {kFetching, prefixed("Found 2 online display(s)"), prefixed("Display 0: vendor 0x10AC product 0xA0C4"),
             prefixed("Display 1: vendor 0x0610 product 0x9227"), kNoDisplay},
            std::nullopt},
        OnlineCase{"ServiceWithoutEdid", appleDisplay(std::nullopt), oneDisplay({kNoDisplay}), std::nullopt},
        OnlineCase{"EdidPropertyNotData", appleDisplay(RegistryValue{std::string("00ffffffffffff00")}),
                   oneDisplay({kNoDisplay}), std::nullopt},
        OnlineCase{"EdidTooShort", appleDisplay(RegistryValue{makeEdid({.length = 100})}),
                   oneDisplay({prefixed("Got EDID data via display service (100 bytes)"),
                               prefixed("EDID parser failed"), kNoDisplay}),
                   std::nullopt},
        OnlineCase{"Found", appleDisplay(RegistryValue{makeEdid({.serial = 31})}), kFetched, "31"},
        // Without an EDID serial number the display's own number stands in.
        OnlineCase{"SerialFromDisplay", appleDisplay(RegistryValue{makeEdid({})}, 4242), kFetched, "4242"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Which registry service qualifies --------------------------------------

Service tagged(RegistryValue vendor, RegistryValue product, std::uint32_t tag) {
  auto service = SimulatedDisplayServices::displayService(0, 0, makeEdid({.serial = tag}));
  service.info = InfoDictionary{{"DisplayVendorID", std::move(vendor)}, {"DisplayProductID", std::move(product)}};
  return service;
}

Service qualifying(std::uint32_t tag) { return tagged(std::int64_t{0x0610}, std::int64_t{0x9226}, tag); }

struct ServiceCase {
  const char* name;
  std::function<void(SimulatedDisplayServices&)> setUp;
  std::optional<std::uint32_t> tag;  // EDID serial of the service found
};

void PrintTo(const ServiceCase& c, std::ostream* os) { *os << c.name; }

class EdidServiceSearch : public EdidLookup, public ::testing::WithParamInterface<ServiceCase> {};

TEST_P(EdidServiceSearch, FindsTheFirstQualifyingServiceForTheProduct) {
  GetParam().setUp(*rig.simulated);
  {
    const auto service = rig.controller->findAppleDisplayService(0x9226);
    ASSERT_EQ(service != nullptr, GetParam().tag.has_value());
    if (service) {
      // Everything but the returned service is released already.
      EXPECT_EQ(rig.simulated->liveHandles(), 1);
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
        ServiceCase{"UsbVendorNumber",
                    [](auto& s) { s.addService("IODisplay", tagged(std::int64_t{1452}, std::int64_t{0x9226}, 2)); }, 2},
        ServiceCase{"DecimalTexts",
                    [](auto& s) { s.addService("IODisplay", tagged(std::string("1552"), std::string("+37414"), 3)); },
                    3},
        ServiceCase{"HexTextVendor",
                    [](auto& s) { s.addService("IODisplay", tagged(std::string("0x0610"), std::int64_t{0x9226}, 4)); },
                    std::nullopt},
        ServiceCase{"OtherVendor",
                    [](auto& s) { s.addService("IODisplay", tagged(std::int64_t{0x10AC}, std::int64_t{0x9226}, 5)); },
                    std::nullopt},
        // Another supported model is not this display's service.
        ServiceCase{"OtherSupportedModel",
                    [](auto& s) { s.addService("IODisplay", tagged(std::int64_t{0x0610}, std::int64_t{0x9227}, 6)); },
                    std::nullopt},
        ServiceCase{"ValuesOfOtherTypes",
                    [](auto& s) {
                      s.addService("IODisplay", tagged(OtherValue{}, std::int64_t{0x9226}, 7));
                      s.addService("IODisplay", tagged(std::int64_t{0x0610}, std::vector<std::uint8_t>{0x26}, 8));
                    },
                    std::nullopt},
        ServiceCase{
            "SkipsServicesWithoutDictionaryOrKeys",
            [](auto& s) {
              s.addService("IODisplayConnect", Service{std::nullopt, {}});
              s.addService("IODisplayConnect", Service{InfoDictionary{{"DisplayVendorID", std::int64_t{1552}}}, {}});
              s.addService("IODisplayConnect", qualifying(9));
            },
            9},
        ServiceCase{"ClassOrderBeforeServiceOrder",
                    [](auto& s) {
                      s.addService("IOFramebuffer", qualifying(10));
                      s.addService("IODisplay", qualifying(11));
                      s.addService("IODisplay", qualifying(12));
                    },
                    11},
        ServiceCase{"FailedClassQueryIsSkipped",
                    [](auto& s) {
                      s.addService("IODisplayConnect", qualifying(13));
                      s.failMatching("IODisplayConnect");
                      s.addService("IOFramebuffer", qualifying(14));
                    },
                    14}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EdidProductOutsideSupportedSet, NeverQualifies) {
  EdidRig rig{std::make_shared<CannedDumpLauncher>(std::nullopt)};
  rig.simulated->addService("IODisplayConnect", tagged(std::int64_t{0x0610}, std::int64_t{0x1234}, 1));
  EXPECT_EQ(rig.controller->findAppleDisplayService(0x1234), nullptr);
  EXPECT_EQ(rig.simulated->liveHandles(), 0);
}

// --- The registry-dump source ----------------------------------------------

struct DumpCase {
  const char* name;
  std::optional<Edids> entries;  // nullopt: the tool cannot run
  std::optional<std::string> usbSerial;
  std::vector<std::string> lines;        // the lookup's lines from the found-count line on
  std::optional<std::string> productID;  // of the details found, if any
};

void PrintTo(const DumpCase& c, std::ostream* os) { *os << c.name; }

std::string found(int count) {
  return prefixed("Found " + std::to_string(count) + " displays with EDID data via IORegistry");
}
const std::string kNoEdid = prefixed("No matching EDID found");
const std::string kByProduct = prefixed("Found matching EDID by product ID 37414");

class EdidLookupDump : public ::testing::TestWithParam<DumpCase> {};

TEST_P(EdidLookupDump, MatchesEntriesInListOrder) {
  EdidRig rig{std::make_shared<CannedDumpLauncher>(GetParam().entries)};
  const auto details = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, GetParam().usbSerial);
  EXPECT_EQ(linesAfterHarvest(rig.sink->lines()), GetParam().lines);
  ASSERT_EQ(details.has_value(), GetParam().productID.has_value());
  if (details) {
    EXPECT_EQ(details->productID, *GetParam().productID);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dump, EdidLookupDump,
    ::testing::Values(
        DumpCase{"ToolUnavailable", std::nullopt, "1", {found(0), kNoEdid}, std::nullopt},
        DumpCase{"SerialMatchInEarlierEntryWins",
                 Edids{makeEdid({.product = 0x9218, .serial = 777}), makeEdid({.product = 0x9226})},
                 "777",
                 {found(2), prefixed("Found matching EDID by serial 777")},
                 "0x9218"},
        DumpCase{"ProductLineWinsWithinAnEntry",
                 Edids{makeEdid({.product = 0x9226, .serial = 777})},
                 "777",
                 {found(1), kByProduct},
                 "0x9226"},
        DumpCase{"NoUsbSerialMatchesOnlyByProduct",
                 Edids{makeEdid({.product = 0x9218, .serial = 777})},
                 std::nullopt,
                 {found(1), kNoEdid},
                 std::nullopt},
        // An all-zero EDID serial is no serial, so "0" has nothing to equal.
        DumpCase{"UsbSerialZero", Edids{makeEdid({.product = 0x9218})}, "0", {found(1), kNoEdid}, std::nullopt},
        DumpCase{"LeadingZerosDiffer",
                 Edids{makeEdid({.product = 0x9218, .serial = 123})},
                 "0123",
                 {found(1), kNoEdid},
                 std::nullopt},
        DumpCase{"ShortAndHeaderlessEntriesSkippedSilently",
                 Edids{makeEdid({.product = 0x9226, .length = 100}),
                       [] {
                         auto e = makeEdid({.product = 0x9226});
                         e[7] = 0xFF;
                         return e;
                       }(),
                       makeEdid({.product = 0x9226, .length = 128})},
                 std::nullopt,
                 {found(3), kByProduct},
                 "0x9226"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EdidLookupDumpAssembly, UsesTheEntryAndTheUsbSerial) {
  EdidRig rig{std::make_shared<CannedDumpLauncher>(Edids{makeEdid({.product = 0x9226})})};
  const auto details = rig.controller->fetchEDIDDetails(0x05AC, 0x9226, "CY0001");
  ASSERT_TRUE(details.has_value());
  EXPECT_EQ(details->serialNumber, "CY0001");
  EXPECT_EQ(details->colorDepth, "Unknown");  // the entry has no depth; the EDID's is not used here
}

}  // namespace
}  // namespace lumaro::testing
