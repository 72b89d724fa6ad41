#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "manual_manager_test.hpp"

namespace lumaro::testing {
namespace {

using ::testing::ElementsAre;
using Display = hid::SimulatedCinemaDisplay;
using Report = std::vector<std::uint8_t>;

constexpr float kStartBrightness = 128.0f / 255.0f;  // the byte the display starts with

// Writes go to `found`.
class BrightnessTest : public TwoDisplaysTest {
 protected:
  float rowBrightness() { return rig.row(found).value().brightness; }
};

// The manager's lines for a call with `passed`, set as `clamped`; the
// controller's lines in between are its own suite's business.
std::vector<std::string> callLines(const std::string& passed, const std::string& clamped, bool accepted) {
  return {"LumaroManager: setBrightness called with value: " + passed,
          "LumaroManager: Setting brightness to " + clamped + " for display Cinema HD Display",
          std::string("LumaroManager: setBrightness result: ") + (accepted ? "true" : "false")};
}

// --- accepted writes ---

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

  manager().setBrightness(found, c.value);
  EXPECT_EQ(rig.takeManagerLines(), callLines(c.passed, c.clamped, true));
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
  void (*fault)(Display&);
  std::optional<BrightnessFailure> marked;  // what the row says afterwards
};

void PrintTo(const FailedWriteCase& c, std::ostream* os) { *os << c.name; }

class FailedWrite : public BrightnessTest, public ::testing::WithParamInterface<FailedWriteCase> {};

TEST_P(FailedWrite, KeepsTheBrightnessAndMarksOnlyLastingFailures) {
  const auto& c = GetParam();
  c.fault(*display);
  const auto subscription = countChanges();

  manager().setBrightness(found, 0.6f);
  EXPECT_EQ(rig.takeManagerLines(), callLines("0.6", "0.6", false));
  EXPECT_EQ(changes, 0);  // published only from the main queue
  queues->runAllMain();
  EXPECT_EQ(rowBrightness(), kStartBrightness);
  EXPECT_EQ(display->brightnessByte(), 128);
  EXPECT_EQ(rig.row(found).value().brightnessFailure, c.marked);
  EXPECT_EQ(changes, c.marked ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Manager, FailedWrite,
    ::testing::Values(
        // The display answers the report with an error: the next write may well succeed.
        FailedWriteCase{"Rejected", [](Display& d) { d.failSetReport(hid::kIOReturnError); }, std::nullopt},
        // The node is not the user's: every later move would be refused too.
        FailedWriteCase{"NotPrivileged", [](Display& d) { d.failOpen(hid::kIOReturnNotPrivileged); },
                        BrightnessFailure::kNotPrivileged},
        // Refused at the report itself, as a backlight write without logind is.
        FailedWriteCase{"ReportNotPrivileged", [](Display& d) { d.failSetReport(hid::kIOReturnNotPrivileged); },
                        BrightnessFailure::kNotPrivileged},
        // Pulled after the refresh: still in the map, the open fails.
        FailedWriteCase{"Unplugged", [](Display& d) { d.unplug(); }, BrightnessFailure::kNoDevice}),
    [](const ::testing::TestParamInfo<FailedWriteCase>& info) { return std::string(info.param.name); });

// --- ids that do not reach a device ---

// An id reaches its display until the refresh that replaces it is published.
TEST_F(BrightnessTest, AWriteOvertakenByARefreshChangesNoRowAndItsIdThenReachesNothing) {
  manager().refresh();                   // detected and read, not yet published
  manager().setBrightness(found, 0.3f);  // the old map still holds the display
  EXPECT_THAT(display->reportsWritten(), ElementsAre(Report{0x10, 76}));
  const auto subscription = countChanges();
  queues->runAllMain();
  EXPECT_EQ(changes, 1);  // the refresh only
  ASSERT_EQ(manager().displays().size(), 2u);
  EXPECT_EQ(manager().displays()[0].brightness, kStartBrightness);

  rig.sink->take();
  const int opensBefore = display->openCount();
  for (const Uuid& unknown : {found, Uuid{}}) {
    manager().setBrightness(unknown, 0.3f);
    EXPECT_THAT(rig.takeManagerLines(), ElementsAre("LumaroManager: setBrightness called with value: 0.3",
                                                    "LumaroManager: Display not found in deviceMap!"));
  }
  EXPECT_EQ(display->openCount(), opensBefore);
  EXPECT_EQ(display->reportsWritten().size(), 1u);
  EXPECT_EQ(queues->pendingMain(), 0u);
}

}  // namespace
}  // namespace lumaro::testing
