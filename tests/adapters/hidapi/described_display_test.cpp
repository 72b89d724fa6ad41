#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "adapters/linux/linux_display_services.hpp"
#include "fixtures.hpp"
#include "hidraw_rig.hpp"
#include "scratch_dir.hpp"

// Displays that describe their brightness control in their report
// descriptor, of any vendor, through the real hidapi adapter and controller.
namespace lumaro {
namespace {

using ::testing::ElementsAre;
using testing::EmulatedHidraw;
using ::testing::IsEmpty;
using testing::UmockdevBed;
using ::testing::UnorderedElementsAre;
using testing::UsbHidIdentity;

UsbHidIdentity described(std::uint16_t vendor, std::uint16_t product, const char* descriptor, Bytes report,
                         int hidraw = 1) {
  return {vendor,
          product,
          "SN" + std::to_string(product),
          "Maker",
          "Monitor",
          1,
          std::to_string(2 + hidraw),
          hidraw,
          testing::fixtureBytes(std::string("hid/") + descriptor),
          {std::move(report)}};
}

const UsbHidIdentity kStudio = described(0x05AC, 0x1114, "studio-display-1114.bin", {1, 0x30, 0x75, 0, 0, 0xAB, 0xCD});

// Each display beside a keyboard: found by its descriptor, read and written
// in its own units, the rest of its report kept; the keyboard never opened.
struct UnitsCase {
  const char* name;
  UsbHidIdentity display;
  float read;
  float write;
  std::int64_t written;
  Bytes after;  // the report the display holds after the write
};
void PrintTo(const UnitsCase& c, std::ostream* os) { *os << c.name; }

class DescribedUnits : public HidrawDisplay, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(DescribedUnits, ReadsAndWritesTheFieldAloneInTheDisplaysUnits) {
  const UnitsCase& c = GetParam();
  auto& keyboard = bed_.add(testing::keyboard(0, 1, "2"));
  auto& device = bed_.add(c.display);
  const auto displays = detect();
  ASSERT_EQ(displays.size(), 1u);
  EXPECT_EQ(displays[0].vendorID, c.display.vendorID);
  EXPECT_EQ(displays[0].productID, c.display.productID);

  const auto value = c.display.featureReports[0].at(0);
  EXPECT_EQ(controller_->getBrightness(displays[0]), c.read);
  EXPECT_TRUE(controller_->setBrightness(displays[0], c.write));
  EXPECT_EQ(device.report(value), c.after);
  const std::string written = std::to_string(c.written);
  EXPECT_EQ(sink_->take().back(), "Successfully set brightness to " + written);
  EXPECT_EQ(device.openHandles(), 0);
  EXPECT_EQ(keyboard.ioctls(), 0) << "the keyboard was opened";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescribedUnits,
    ::testing::Values(
        // 32 bits, 400-60000, two vendor bytes after it: 0.5 is 30200.
        UnitsCase{"StudioDisplay", kStudio, (30000.0f - 400.0f) / 59600.0f, 0.5f, 30200,
                  Bytes{1, 0xF8, 0x75, 0, 0, 0xAB, 0xCD}},
        // A vendor byte, then 16 bits 400-50000 whose maximum reads negative as written.
        UnitsCase{"ProDisplayXDR", described(0x05AC, 0x9243, "pro-display-xdr-9243.bin", {1, 0x5A, 0x90, 0x01}), 0.0f,
                  1.0f, 50000, Bytes{1, 0x5A, 0x50, 0xC3}},
        // No report IDs; brightness is the first of three 16-bit controls, nearest value wins.
        UnitsCase{"UnknownVendor", described(0x1D5C, 0x7010, "ultrafine-5k-9a70.bin", {0, 0xFF, 0xFF, 1, 2, 3, 4}),
                  1.0f, 0.5f, 32768, Bytes{0, 0x00, 0x80, 1, 2, 3, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

// An answer that cannot be trusted: a line, no brightness, nothing written.
struct AnswerCase {
  const char* name;
  std::function<void(EmulatedHidraw&)> fault;  // applied before the read and again before the write
  const char* line;
};
void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class DescribedAnswer : public HidrawDisplay, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(DescribedAnswer, NeitherReadsNorWrites) {
  const AnswerCase& c = GetParam();
  auto& device = bed_.add(kStudio);
  const auto displays = detect();
  ASSERT_EQ(displays.size(), 1u);
  c.fault(device);
  EXPECT_EQ(controller_->getBrightness(displays[0]), std::nullopt);
  c.fault(device);
  EXPECT_FALSE(controller_->setBrightness(displays[0], 0.5f));
  EXPECT_THAT(sink_->take(), ElementsAre(c.line, c.line));
  EXPECT_THAT(device.receivedReports(), IsEmpty());
  EXPECT_EQ(device.openHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DescribedAnswer,
                         ::testing::Values(AnswerCase{"Short", [](EmulatedHidraw& d) { d.answerNextGetShort(5); },
                                                      "Failed to get report: -536870169, reportLength: 5"},
                                           AnswerCase{"AnotherReportID",
                                                      [](EmulatedHidraw& d) { d.answerNextWithReportID(2); },
                                                      "Unexpected report ID: 2 (asked for 1)"},
                                           AnswerCase{"AboveTheRange",
                                                      [](EmulatedHidraw& d) {
                                                        d.setReport({1, 0x70, 0x11, 0x01, 0x00, 0, 0});
                                                      },
                                                      "Brightness value out of range: 70000 (400 to 60000)"},
                                           AnswerCase{"BelowTheRange",
                                                      [](EmulatedHidraw& d) {
                                                        d.setReport({1, 0x8F, 0x01, 0, 0, 0, 0});
                                                      },
                                                      "Brightness value out of range: 399 (400 to 60000)"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Cinema Displays keep report 0x10 byte for byte, described or not; a
// malformed descriptor says so once and makes no other device a display.
TEST_F(HidrawDisplay, CinemaDisplaysKeepTheirBytesAndBrokenDescriptorsMakeNoDisplay) {
  auto bare = testing::cinemaDisplay(0x9227, "BARE", 4, 1, "6");
  bare.reportDescriptor.clear();
  auto broken = testing::cinemaDisplay(0x921D, "BROKEN", 2, 1, "7");
  broken.reportDescriptor.resize(20);  // cut inside the report count
  auto cutStudio = kStudio;
  cutStudio.reportDescriptor.pop_back();  // the second collection never ends
  auto studioCut = cutStudio;
  studioCut.hidraw = 3;
  studioCut.devpath = "5";
  studioCut.reportDescriptor.resize(9);
  std::vector<EmulatedHidraw*> cinemas = {&bed_.add(testing::cinemaDisplay(0x9226, "DESCRIBED", 0, 1, "2")),
                                          &bed_.add(bare), &bed_.add(broken)};
  auto& unclosed = bed_.add(cutStudio);
  auto& truncated = bed_.add(studioCut);

  const auto displays = controller_->detectDisplays();
  EXPECT_THAT(
      sink_->take(),
      UnorderedElementsAre("RarudoRuroravOduradadur: detectDisplays called",
                           "RarudoRuroravOduradadur: HID Manager open status: 0",
                           "RarudoRuroravOduradadur: Ignoring the report descriptor of 0x05AC:0x921D: item cut off at "
                           "byte 19",
                           "RarudoRuroravOduradadur: Ignoring the report descriptor of 0x05AC:0x1114: collections do "
                           "not close",
                           "RarudoRuroravOduradadur: Ignoring the report descriptor of 0x05AC:0x1114: item cut off at "
                           "byte 8"));
  ASSERT_EQ(displays.size(), 3u);
  for (const AppleDisplay& display : displays) {
    EXPECT_TRUE(controller_->setBrightness(display, 0.5f));
    EXPECT_EQ(controller_->getBrightness(display), 127.0f / 255.0f);
  }
  for (const EmulatedHidraw* cinema : cinemas) {
    EXPECT_THAT(cinema->receivedReports(), ElementsAre(Bytes{0x10, 127})) << cinema->identity().serial;
    EXPECT_EQ(cinema->getRequests().back(), (Bytes{0x10, 0x00})) << cinema->identity().serial;
  }
  EXPECT_EQ(unclosed.ioctls() + truncated.ioctls(), 0);
}

// Twin LED Cinema Displays, each sending its own base block over USB, on
// connectors in the other order: each finds its own connector's EDID.
TEST_F(HidrawDisplay, TwinsEachFindTheirOwnConnectorsEDID) {
  const Bytes first = testing::fixtureBytes("edid/apple-led-cinema-9226.bin");
  Bytes second = first;
  ++second[12];  // the next serial number, the checksum kept
  --second[127];
  const testing::ScratchDir drm;
  drm.write("card0-DP-1/status", "connected\n");
  drm.write("card0-DP-1/edid", std::string(second.begin(), second.end()));
  drm.write("card0-DP-2/status", "connected\n");
  drm.write("card0-DP-2/edid", std::string(first.begin(), first.end()));
  ControllerPorts ports;
  ports.hidManager = std::make_unique<hid::HidapiHidManager>();
  ports.displayServices = std::make_shared<displays::LinuxDisplayServices>(drm.path());
  ports.sink = sink_;
  RarudoRuroravOduradadur controller(std::move(ports));
  bed_.add(testing::cinemaDisplay(0x9226, "TWIN-A", 0, 1, "2", Bytes(first.begin(), first.begin() + 128)));
  bed_.add(testing::cinemaDisplay(0x9226, "TWIN-B", 1, 1, "3", Bytes(second.begin(), second.begin() + 128)));

  const auto displays = controller.detectDisplays();
  ASSERT_EQ(displays.size(), 2u);
  for (const AppleDisplay& display : displays) {
    sink_->take();
    const auto details =
        controller.fetchEDIDDetails(display.vendorID, display.productID, display.serialNumber, display.usbEDID);
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->serialNumber, display.serialNumber == "TWIN-A" ? "34161703" : "34161704");
    EXPECT_EQ(sink_->take().back(),
              "RarudoRuroravOduradadur: Found the display's own EDID on a display service (256 bytes)");
  }
}

}  // namespace
}  // namespace lumaro
