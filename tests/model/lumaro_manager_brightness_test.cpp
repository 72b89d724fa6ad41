#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "manual_manager_test.hpp"

namespace lumaro::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Identity = hid::SimulatedCinemaDisplay::Identity;
using Report = std::vector<std::uint8_t>;

constexpr float kStartBrightness = 128.0f / 255.0f;  // the byte each display starts with

class BrightnessTest : public ManualManagerTest {
 protected:
  void SetUp() override {
    Identity identity;
    identity.name = "Cinema HD Display";
    identity.brightness = 128;
    display = rig.plug(identity);
    refreshNow();
    ASSERT_EQ(manager().displays().size(), 1u);
    id = manager().displays()[0].id;
  }

  float rowBrightness() { return rig.row(id).value().brightness; }

  std::shared_ptr<hid::SimulatedCinemaDisplay> display;
  Uuid id;
};

// --- accepted writes ---

// The manager's first two lines for a call with `passed`, set as `clamped`.
std::vector<std::string> callLines(const std::string& passed, const std::string& clamped) {
  return {"LumaroManager: setBrightness called with value: " + passed,
          "LumaroManager: Setting brightness to " + clamped + " for display Cinema HD Display"};
}

struct WriteCase {
  const char* name;
  float value;
  const char* passed;   // as the first line shows it
  const char* clamped;  // as the second line shows it
  std::uint8_t byte;
  float row;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class AcceptedWrite : public BrightnessTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(AcceptedWrite, SendsTheClampedByteAndUpdatesTheRowFromTheMainQueue) {
  const auto& c = GetParam();
  const auto subscription = countChanges();

  manager().setBrightness(id, c.value);
  auto lines = callLines(c.passed, c.clamped);
  lines.push_back("LumaroManager: setBrightness result: true");
  EXPECT_EQ(rig.takeManagerLines(), lines);
  EXPECT_THAT(display->reportsWritten(), ElementsAre(Report{0x10, c.byte}));
  EXPECT_EQ(rowBrightness(), kStartBrightness);
  EXPECT_EQ(changes, 0);

  queues->runAllMain();
  EXPECT_THAT(rig.takeManagerLines(), ElementsAre("LumaroManager: Updated UI with new brightness"));
  EXPECT_EQ(rowBrightness(), c.row);
  EXPECT_EQ(changes, 1);
}

INSTANTIATE_TEST_SUITE_P(Manager, AcceptedWrite,
                         ::testing::Values(
                             // Above the range: the line shows the value as passed, then the clamped one.
                             WriteCase{"AboveOne", 1.2f, "1.2", "1.0", 255, 1.0f},
                             WriteCase{"Negative", -0.2f, "-0.2", "0.0", 0, 0.0f},
                             // NaN would otherwise leave the row outside 0.0–1.0.
                             WriteCase{"NotANumber", std::numeric_limits<float>::quiet_NaN(), "nan", "0.0", 0, 0.0f},
                             // In range: truncated on the wire, kept exactly in the row.
                             WriteCase{"Half", 0.5f, "0.5", "0.5", 127, 0.5f}),
                         [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

// --- writes that fail ---

struct FailedWriteCase {
  const char* name;
  std::function<void(hid::SimulatedCinemaDisplay&)> fault;
  std::vector<std::string> controllerLines;  // between the manager's call lines and its result
  std::optional<BrightnessFailure> marked;   // what the row says afterwards
};

void PrintTo(const FailedWriteCase& c, std::ostream* os) { *os << c.name; }

class FailedWrite : public BrightnessTest, public ::testing::WithParamInterface<FailedWriteCase> {};

TEST_P(FailedWrite, KeepsTheBrightnessAndMarksOnlyLastingFailures) {
  const auto& c = GetParam();
  c.fault(*display);
  const auto subscription = countChanges();

  manager().setBrightness(id, 0.6f);
  auto lines = callLines("0.6", "0.6");
  lines.insert(lines.end(), c.controllerLines.begin(), c.controllerLines.end());
  lines.push_back("LumaroManager: setBrightness result: false");
  EXPECT_EQ(rig.sink->take(), lines);
  EXPECT_EQ(changes, 0);  // published only from the main queue
  queues->runAllMain();
  EXPECT_EQ(rowBrightness(), kStartBrightness);
  EXPECT_EQ(display->brightnessByte(), 128);
  EXPECT_EQ(rig.row(id).value().brightnessFailure, c.marked);
  EXPECT_EQ(changes, c.marked ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Manager, FailedWrite,
    ::testing::Values(
        // The display answers the report with an error.
        FailedWriteCase{"Rejected",
                        [](hid::SimulatedCinemaDisplay& d) { d.failSetReport(hid::kIOReturnError); },
                        {"Setting brightness byte: 153", "Failed to set report: -536870212"},
                        std::nullopt},
        // The node is not the user's: every later move would be refused too.
        FailedWriteCase{"NotPrivileged",
                        [](hid::SimulatedCinemaDisplay& d) { d.failOpen(hid::kIOReturnNotPrivileged); },
                        {"Failed to open device for writing: -536870207"},
                        BrightnessFailure::kNotPrivileged},
        // Refused at the report itself, as a backlight write without logind is.
        FailedWriteCase{"ReportNotPrivileged",
                        [](hid::SimulatedCinemaDisplay& d) { d.failSetReport(hid::kIOReturnNotPrivileged); },
                        {"Setting brightness byte: 153", "Failed to set report: -536870207"},
                        BrightnessFailure::kNotPrivileged},
        // Pulled after the refresh: still in the map, the open fails.
        FailedWriteCase{"Unplugged",
                        [](hid::SimulatedCinemaDisplay& d) { d.unplug(); },
                        {"Failed to open device for writing: -536870208"},
                        BrightnessFailure::kNoDevice}),
    [](const ::testing::TestParamInfo<FailedWriteCase>& info) { return std::string(info.param.name); });

// --- ids that do not reach a device ---

TEST_F(BrightnessTest, IdsOutsideTheMapSendNothing) {
  refreshNow();  // the fixture's id is now stale
  const int opensBefore = display->openCount();
  for (const Uuid& unknown : {id, Uuid{}}) {
    manager().setBrightness(unknown, 0.3f);
    EXPECT_THAT(rig.takeManagerLines(), ElementsAre("LumaroManager: setBrightness called with value: 0.3",
                                                    "LumaroManager: Display not found in deviceMap!"));
  }
  EXPECT_EQ(display->openCount(), opensBefore);
  EXPECT_THAT(display->reportsWritten(), IsEmpty());
  EXPECT_EQ(queues->pendingMain(), 0u);
}

TEST_F(BrightnessTest, AWriteOvertakenByARefreshChangesNoRow) {
  manager().refresh();                // detected and read, not yet published
  manager().setBrightness(id, 0.3f);  // the old map still holds the display
  EXPECT_THAT(display->reportsWritten(), ElementsAre(Report{0x10, 76}));
  rig.sink->take();

  const auto subscription = countChanges();
  queues->runAllMain();
  EXPECT_THAT(rig.takeManagerLines(), ElementsAre("LumaroManager: Updated displays array with 1 items"));
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(manager().displays().size(), 1u);
  EXPECT_EQ(manager().displays()[0].brightness, kStartBrightness);
}

}  // namespace
}  // namespace lumaro::testing
