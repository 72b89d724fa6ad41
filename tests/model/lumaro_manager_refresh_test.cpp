#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "manual_manager_test.hpp"

namespace lumaro::testing {
namespace {

using ::testing::ElementsAre;
using Identity = hid::SimulatedCinemaDisplay::Identity;

std::vector<std::string> names(const std::vector<DisplayItem>& rows) {
  std::vector<std::string> result;
  for (const auto& row : rows) result.push_back(row.name);
  return result;
}

Identity named(std::string name, std::uint8_t brightness = 128) {
  Identity identity;
  identity.name = std::move(name);
  identity.brightness = brightness;
  return identity;
}

// --- the lines and the row of one refresh ---

struct RefreshCase {
  const char* name;
  std::optional<Identity> display;  // absent: nothing attached
  bool readFails = false;
  std::vector<std::string> readLines = {};  // between the detection line and the queued step's line
  std::string rowName = {};
  float rowBrightness = 0.0f;
  std::optional<BrightnessFailure> rowFailure = std::nullopt;
};

void PrintTo(const RefreshCase& c, std::ostream* os) { *os << c.name; }

class RefreshLines : public ManualManagerTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(RefreshLines, PrintsEachStepAndPublishesOnlyFromTheMainQueue) {
  const auto& c = GetParam();
  if (c.display) {
    auto display = rig.plug(*c.display);
    if (c.readFails) display->failGetReport(hid::kIOReturnError);
  }
  const auto subscription = countChanges();
  const std::string count = c.display ? "1" : "0";

  manager().refresh();
  std::vector<std::string> expected = {"LumaroManager: Starting refresh",
                                       "LumaroManager: Detected " + count + " displays"};
  for (const auto& line : c.readLines) expected.push_back("LumaroManager: " + line);
  EXPECT_EQ(rig.takeManagerLines(), expected);
  EXPECT_TRUE(manager().displays().empty());
  EXPECT_EQ(changes, 0);

  queues->runAllMain();
  EXPECT_THAT(rig.takeManagerLines(), ElementsAre("LumaroManager: Updated displays array with " + count + " items"));
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(manager().displays().size(), c.display ? 1u : 0u);
  EXPECT_EQ(manager().deviceMap().size(), manager().displays().size());
  if (!c.display) return;
  const auto& row = manager().displays().front();
  EXPECT_EQ(row.name, c.rowName);
  EXPECT_EQ(row.brightness, c.rowBrightness);
  EXPECT_EQ(row.brightnessFailure, c.rowFailure);
  EXPECT_FALSE(row.details.has_value());
  EXPECT_TRUE(manager().deviceMap().contains(row.id));
}

INSTANTIATE_TEST_SUITE_P(
    Manager, RefreshLines,
    ::testing::Values(
        // A read that fails falls back to the middle of the range, and the
        // row says that it did.
        RefreshCase{
            .name = "ReadFails",
            .display = named("Cinema HD Display"),
            .readFails = true,
            .readLines = {"Reading brightness for Cinema HD Display", "Got brightness: nil", "Using brightness: 0.5"},
            .rowName = "Cinema HD Display",
            .rowBrightness = 0.5f,
            .rowFailure = BrightnessFailure::kError},
        // A byte that is not a round fraction prints its shortest exact form.
        RefreshCase{.name = "ByteBelowHalf",
                    .display = named("Cinema Display", 127),
                    .readLines = {"Reading brightness for Cinema Display", "Got brightness: 0.49803922",
                                  "Using brightness: 0.49803922"},
                    .rowName = "Cinema Display",
                    .rowBrightness = 127.0f / 255.0f},
        // No product name: "Unknown" in the line, "Unknown Display" in the row.
        RefreshCase{.name = "NoProductName",
                    .display = Identity{.name = std::nullopt, .brightness = 0},
                    .readLines = {"Reading brightness for Unknown", "Got brightness: 0.0", "Using brightness: 0.0"},
                    .rowName = "Unknown Display",
                    .rowBrightness = 0.0f},
        // Nothing attached: the plural is used for zero too.
        RefreshCase{.name = "NothingAttached", .display = std::nullopt}),
    [](const ::testing::TestParamInfo<RefreshCase>& info) { return std::string(info.param.name); });

// --- state across refreshes ---

using Refresh = ManualManagerTest;

TEST_F(Refresh, KeepsThePreviousPassUntilTheQueuedStepRuns) {
  auto display = rig.plug(named("Cinema Display", 51));
  refreshNow();
  const auto firstRows = manager().displays();
  ASSERT_EQ(firstRows.size(), 1u);
  EXPECT_EQ(firstRows[0].brightness, 0.2f);

  display->setBrightnessByte(255);
  manager().refresh();
  EXPECT_EQ(manager().displays(), firstRows);
  EXPECT_EQ(manager().deviceMap().size(), 1u);
  EXPECT_TRUE(manager().deviceMap().contains(firstRows[0].id));

  queues->runAllMain();
  ASSERT_EQ(manager().displays().size(), 1u);
  EXPECT_NE(manager().displays()[0].id, firstRows[0].id);
  EXPECT_EQ(manager().displays()[0].brightness, 1.0f);
  EXPECT_FALSE(manager().deviceMap().contains(firstRows[0].id));
}

TEST_F(Refresh, ARowSaysWhyItsBrightnessIsUnreadUntilAReadSucceeds) {
  auto display = rig.plug(named("Cinema Display", 51));
  display->failOpen(hid::kIOReturnNotPrivileged);
  refreshNow();
  ASSERT_EQ(manager().displays().size(), 1u);
  EXPECT_EQ(manager().displays()[0].brightnessFailure, BrightnessFailure::kNotPrivileged);

  display->failOpen(hid::kIOReturnSuccess);
  refreshNow();
  ASSERT_EQ(manager().displays().size(), 1u);
  EXPECT_EQ(manager().displays()[0].brightnessFailure, std::nullopt);
  EXPECT_EQ(manager().displays()[0].brightness, 0.2f);
}

TEST_F(Refresh, RowsFollowDetectionOrderAndMapToTheirOwnDevices) {
  auto left = rig.plug(named("Left"));
  auto right = rig.plug(named("Right"));
  refreshNow();
  EXPECT_THAT(names(manager().displays()), ElementsAre("Left", "Right"));
  const auto firstIDs = std::vector<Uuid>{manager().displays()[0].id, manager().displays()[1].id};

  rig.hid->setDevices({right, left});
  refreshNow();
  const auto& rows = manager().displays();
  EXPECT_THAT(names(rows), ElementsAre("Right", "Left"));
  ASSERT_EQ(manager().deviceMap().size(), 2u);
  for (const auto& row : rows) {
    EXPECT_NE(row.id, firstIDs[0]);
    EXPECT_NE(row.id, firstIDs[1]);
    const auto entry = manager().deviceMap().find(row.id);
    ASSERT_NE(entry, manager().deviceMap().end());
    EXPECT_EQ(entry->second.device, row.name == "Left" ? left : right);
  }
}

TEST_F(Refresh, QueuedPassesApplyInOrderAndTheLastWins) {
  rig.plug(named("First"));
  const auto subscription = countChanges();
  manager().refresh();
  rig.plug(named("Second"));
  manager().refresh();
  rig.sink->take();

  EXPECT_EQ(queues->runAllMain(), 2u);
  EXPECT_THAT(rig.takeManagerLines(), ElementsAre("LumaroManager: Updated displays array with 1 items",
                                                  "LumaroManager: Updated displays array with 2 items"));
  EXPECT_THAT(names(manager().displays()), ElementsAre("First", "Second"));
  EXPECT_EQ(changes, 2);
}

TEST_F(Refresh, ObserversSeeTheOldRowsBeforeAndTheNewRowsAfter) {
  rig.plug(named("Only"));
  std::vector<std::size_t> seen;
  const auto subscription = rig.manager->subscribe({.willChange = [&] { seen.push_back(manager().displays().size()); },
                                                    .didChange = [&] { seen.push_back(manager().displays().size()); }});
  refreshNow();
  EXPECT_THAT(seen, ElementsAre(0u, 1u));
}

}  // namespace
}  // namespace lumaro::testing
