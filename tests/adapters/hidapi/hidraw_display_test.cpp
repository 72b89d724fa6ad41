#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hidraw_rig.hpp"

// The real hidapi adapter and controller against hidraw nodes emulated by
// umockdev: what a user's machine shows them.
namespace lumaro {
namespace {

using ::testing::ElementsAre;
using testing::EmulatedHidraw;
using ::testing::IsEmpty;
using testing::UmockdevBed;

// A keyboard alone: nothing. Then two displays, one behind a hub, and an
// Apple device that is no display. Each display's node has two top-level
// collections, which hidapi lists as two entries: still one display each.
TEST_F(HidrawDisplay, FindsEachDisplayOnceWithItsSerialNameAndLocation) {
  bed_.add(testing::keyboard(0, 1, "1"));
  EXPECT_THAT(controller_->detectDisplays(), IsEmpty());
  manager_->setDeviceMatching({.transport = "USB", .vendorID = RarudoRuroravOduradadur::appleVendorID});
  EXPECT_EQ(manager_->copyDevices(), std::nullopt) << "nothing matches, which is not an empty list";

  bed_.add(testing::cinemaDisplay(0x9226, "2A1133WZ6JL", 1, 1, "2"));
  bed_.add({0x05AC, 0x0250, "", "Apple Inc.", "Magic Keyboard", 1, "3", 2});
  bed_.add(testing::cinemaDisplay(0x921C, "CY8040ABC", 3, 3, "1.4"));
  const auto displays = controller_->detectDisplays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(displays[0].productID, 0x9226);
  EXPECT_EQ(displays[0].serialNumber, "2A1133WZ6JL");
  EXPECT_EQ(displays[0].name, "Apple Cinema HD Display");
  EXPECT_EQ(displays[0].locationID, 0x01200000);
  EXPECT_EQ(displays[1].productID, 0x921C);
  EXPECT_EQ(displays[1].serialNumber, "CY8040ABC");
  EXPECT_EQ(displays[1].locationID, 0x03140000) << "the display's own port, not its hub's";
}

// The report as it crosses the ioctl: a get carries the report ID in byte 0
// and comes back as [ID, byte]; a set sends exactly [ID, byte]. Each report
// opens the node and closes it again; opens nest, and a close without an open
// changes nothing, so the node is closed exactly when the last user lets go.
TEST_F(HidrawDisplay, ReportsAreFramedByTheReportIDAndOpensNest) {
  auto& display = bed_.add(testing::cinemaDisplay(0x9226, "CY123", 0, 1, "2"));
  display.setBrightness(200);
  const auto displays = detect();
  ASSERT_EQ(displays.size(), 1u);

  EXPECT_EQ(controller_->getBrightness(displays[0]), 200.0f / 255.0f);
  EXPECT_TRUE(controller_->setBrightness(displays[0], 0.5f));
  EXPECT_EQ(display.getRequests().back(), (Bytes{0x10, 0x00}));
  EXPECT_THAT(display.receivedReports(), ElementsAre(Bytes{0x10, 127}));
  EXPECT_EQ(display.openHandles(), 0) << "after the reports";

  hid::Device& device = *displays[0].device;
  device.close();
  ASSERT_EQ(device.open(), hid::kIOReturnSuccess);
  ASSERT_EQ(device.open(), hid::kIOReturnSuccess);
  EXPECT_EQ(display.openHandles(), 1);
  device.close();
  EXPECT_EQ(display.openHandles(), 1) << "one open still stands";
  device.close();
  EXPECT_EQ(display.openHandles(), 0);
}

// What goes wrong between discovery and a report, and what the user's
// machine makes of it: the line, no open handle left, no brightness changed.
struct FaultCase {
  const char* name;
  std::function<void(UmockdevBed&, EmulatedHidraw&)> fault;
  bool write;           // setBrightness(0.5) rather than getBrightness; either fails
  const char* line;     // what the controller says of the failure
  bool asUser = false;  // run the operation without root's right to open any node
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class HidrawFault : public HidrawDisplay, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(HidrawFault, PrintsTheFailureLineAndSendsNothingElsewhere) {
  const FaultCase& c = GetParam();
  auto& display = bed_.add(testing::cinemaDisplay(0x9226, "CY123", 0, 1, "2"));
  const auto displays = detect();
  ASSERT_EQ(displays.size(), 1u);
  c.fault(bed_, display);
  {
    std::optional<testing::UnprivilegedScope> asUser;
    if (c.asUser) asUser.emplace();
    if (c.write) {
      EXPECT_FALSE(controller_->setBrightness(displays[0], 0.5f));
    } else {
      EXPECT_EQ(controller_->getBrightness(displays[0]), std::nullopt);
    }
  }
  const Lines expected = c.write ? Lines{"Setting brightness byte: 127", c.line} : Lines{c.line};
  EXPECT_EQ(sink_->take(), expected);
  EXPECT_EQ(display.openHandles(), 0);
  EXPECT_EQ(display.brightness(), 0x80);
}

auto failNext(int error) {
  return [error](UmockdevBed&, EmulatedHidraw& d) { d.failNextReport(error); };
}
auto answerShort(std::size_t bytes) {
  return [bytes](UmockdevBed&, EmulatedHidraw& d) { d.answerNextGetShort(bytes); };
}
const auto kRemove = [](UmockdevBed& bed, EmulatedHidraw& display) { bed.remove(display); };
const auto kDeny = [](UmockdevBed& bed, EmulatedHidraw& display) { bed.denyAccess(display); };

INSTANTIATE_TEST_SUITE_P(
    Cases, HidrawFault,
    ::testing::Values(
        FaultCase{"ReadFails", failNext(EIO), false, "Failed to get report: -536870212, reportLength: 2"},
        FaultCase{"WriteTimesOut", failNext(ETIMEDOUT), true, "Failed to set report: -536870212"},
        // hidraw's byte 0 is the report ID: an answer of one byte has no brightness.
        FaultCase{"AnswerHoldsOnlyTheReportID", answerShort(1), false,
                  "Failed to get report: -536870169, reportLength: 1"},
        FaultCase{"AnswerIsEmpty", answerShort(0), false, "Invalid report length: 0"},
        FaultCase{"UnpluggedBeforeTheRead", kRemove, false, "Failed to open device for reading: -536870208"},
        // Before the udev rule grants access, the node refuses the user at
        // open(2). Root would pass, so the read runs with an unprivileged
        // effective user ID.
        FaultCase{"NodeRefusesTheUser", kDeny, false, "Failed to open device for reading: -536870207", true}),
    [](const auto& info) { return std::string(info.param.name); });

// After an unplug the kernel gives the freed hidraw number to the next HID
// device. A row still on screen reaches the node only when the device there
// is the display it was found as.
struct TakeoverCase {
  const char* name;
  testing::UsbHidIdentity before;
  testing::UsbHidIdentity after;  // takes hidraw0 once `before` is unplugged
  bool reaches;
};
void PrintTo(const TakeoverCase& c, std::ostream* os) { *os << c.name; }

class HidrawTakeover : public HidrawDisplay, public ::testing::WithParamInterface<TakeoverCase> {};

TEST_P(HidrawTakeover, OnlyTheSameDisplayGetsTheReport) {
  const TakeoverCase& c = GetParam();
  auto& before = bed_.add(c.before);
  const auto displays = detect();
  ASSERT_EQ(displays.size(), 1u);
  bed_.remove(before);
  auto& after = bed_.add(c.after);

  EXPECT_EQ(controller_->setBrightness(displays[0], 0.5f), c.reaches);
  const std::vector<Bytes> reached = {{0x10, 127}};
  EXPECT_EQ(after.receivedReports(), c.reaches ? reached : std::vector<Bytes>{});
  EXPECT_EQ(after.openHandles(), 0);
  if (!c.reaches) {
    EXPECT_THAT(after.getRequests(), IsEmpty());
    EXPECT_THAT(sink_->take(), ElementsAre("Failed to open device for writing: -536870208"));
  }
}

// The display first found on port 2 of bus 1, as hidraw0, or one like it.
testing::UsbHidIdentity display(const char* serial, const char* port = "2") {
  return testing::cinemaDisplay(0x9226, serial, 0, 1, port);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidrawTakeover,
    ::testing::Values(TakeoverCase{"AKeyboard", display("CY123"), testing::keyboard(0, 1, "4"), false},
                      // Same model, same port: only the serial number tells them apart.
                      TakeoverCase{"AnotherDisplayInTheSamePort", display("CY123"), display("CY999"), false},
                      TakeoverCase{"ASerialLessDisplayInTheSamePort", display("CY123"), display(""), false},
                      // Without a serial number, the port does.
                      TakeoverCase{"ASerialLessDisplayInAnotherPort", display(""), display("", "3"), false},
                      TakeoverCase{"TheSameDisplayInAnotherPort", display("CY123"), display("CY123", "3"), true},
                      TakeoverCase{"TheSameSerialLessDisplayInItsPort", display(""), display(""), true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumaro
