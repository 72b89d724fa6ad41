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
using ::testing::IsEmpty;
using Identity = hid::SimulatedCinemaDisplay::Identity;

std::vector<std::string> names(const std::vector<DisplayItem>& rows) {
  std::vector<std::string> result;
  for (const auto& row : rows) result.push_back(row.name);
  return result;
}

Identity named(std::string name, std::uint8_t brightness = 128) {
  return Identity{.name = std::move(name), .brightness = brightness};
}

// The manager's three lines about reading one display.
std::vector<std::string> reading(const std::string& name, const std::string& got, const std::string& used) {
  return {"LumaroManager: Reading brightness for " + name, "LumaroManager: Got brightness: " + got,
          "LumaroManager: Using brightness: " + used};
}

// --- the lines and the row of one refresh ---

struct RefreshCase {
  const char* name;
  std::optional<Identity> display;  // absent: nothing attached
  bool readFails;
  std::vector<std::string> readLines;  // between the detection line and the queued step's line
  std::string rowName;
  float rowBrightness;
  std::optional<BrightnessFailure> rowFailure;
};

void PrintTo(const RefreshCase& c, std::ostream* os) { *os << c.name; }

class RefreshLines : public ManualManagerTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(RefreshLines, PrintsEachStepAndPublishesOnlyFromTheMainQueue) {
  const auto& c = GetParam();
  if (c.display) {
    auto display = rig.plug(*c.display);
    if (c.readFails) display->failGetReport(hid::kIOReturnError);
  }
  // How many rows were published at each willChange and didChange.
  std::vector<std::size_t> seen;
  const auto note = [&] { seen.push_back(manager().displays().size()); };
  const auto subscription = rig.manager->subscribe({.willChange = note, .didChange = note});
  const std::size_t count = c.display ? 1 : 0;

  manager().refresh();
  std::vector<std::string> expected = {"LumaroManager: Starting refresh",
                                       "LumaroManager: Detected " + std::to_string(count) + " displays"};
  expected.insert(expected.end(), c.readLines.begin(), c.readLines.end());
  EXPECT_EQ(rig.takeManagerLines(), expected);
  EXPECT_TRUE(manager().displays().empty());
  EXPECT_THAT(seen, IsEmpty());

  queues->runAllMain();
  EXPECT_THAT(rig.takeManagerLines(),
              ElementsAre("LumaroManager: Updated displays array with " + std::to_string(count) + " items"));
  EXPECT_THAT(seen, ElementsAre(0u, count)) << "observers see the old rows before and the new rows after";
  ASSERT_EQ(manager().displays().size(), count);
  EXPECT_EQ(manager().deviceMap().size(), count);
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
        // A read that fails falls back to the middle of the range, and the row says that it did.
        RefreshCase{"ReadFails", named("Cinema HD Display"), true, reading("Cinema HD Display", "nil", "0.5"),
                    "Cinema HD Display", 0.5f, BrightnessFailure::kError},
        // No product name: "Unknown" in the line, "Unknown Display" in the row.
        RefreshCase{"NoProductName", Identity{.name = std::nullopt, .brightness = 0}, false,
                    reading("Unknown", "0.0", "0.0"), "Unknown Display", 0.0f, std::nullopt},
        // Nothing attached: the plural is used for zero too.
        RefreshCase{"NothingAttached", std::nullopt, false, {}, "", 0.0f, std::nullopt}),
    [](const ::testing::TestParamInfo<RefreshCase>& info) { return std::string(info.param.name); });

// --- state across refreshes ---

using Refresh = ManualManagerTest;

TEST_F(Refresh, ANewPassReplacesEveryRowAndIdOnlyWhenItsQueuedStepRuns) {
  auto left = rig.plug(named("Left", 51));
  auto right = rig.plug(named("Right"));
  left->failOpen(hid::kIOReturnNotPrivileged);
  refreshNow();
  const auto firstRows = manager().displays();
  ASSERT_THAT(names(firstRows), ElementsAre("Left", "Right"));
  EXPECT_EQ(firstRows[0].brightnessFailure, BrightnessFailure::kNotPrivileged);

  left->failOpen(hid::kIOReturnSuccess);
  rig.hid->setDevices({right, left});
  manager().refresh();
  EXPECT_EQ(manager().displays(), firstRows) << "before the queued step";
  EXPECT_EQ(manager().deviceMap().size(), 2u);
  EXPECT_TRUE(manager().deviceMap().contains(firstRows[0].id));

  queues->runAllMain();
  const auto& rows = manager().displays();
  ASSERT_THAT(names(rows), ElementsAre("Right", "Left")) << "in the new detection order";
  // Read this time: the row no longer says why it was not.
  EXPECT_EQ(rows[1].brightnessFailure, std::nullopt);
  EXPECT_EQ(rows[1].brightness, 0.2f);
  // Each new id maps to its own device; the old ones map to nothing.
  ASSERT_EQ(manager().deviceMap().size(), 2u);
  for (const auto& row : rows) {
    EXPECT_NE(row.id, firstRows[0].id);
    EXPECT_NE(row.id, firstRows[1].id);
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

}  // namespace
}  // namespace lumaro::testing
