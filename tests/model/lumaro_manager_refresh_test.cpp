#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
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

std::vector<std::string> managerLines(std::initializer_list<const char*> texts) {
  std::vector<std::string> lines;
  for (const char* text : texts) lines.push_back(std::string("LumaroManager: ") + text);
  return lines;
}

// --- the lines and the rows of one refresh ---

using Refresh = ManualManagerTest;

TEST_F(Refresh, PrintsEachStepAndPublishesOnlyFromTheMainQueue) {
  rig.plug(named("Cinema HD Display"))->failGetReport(hid::kIOReturnError);
  rig.plug(Identity{.name = std::nullopt, .brightness = 0});
  // How many rows were published at each willChange and didChange.
  std::vector<std::size_t> seen;
  const auto note = [&] { seen.push_back(manager().displays().size()); };
  const auto subscription = rig.manager->subscribe({.willChange = note, .didChange = note});

  manager().refresh();
  EXPECT_EQ(rig.takeManagerLines(),
            managerLines({"Starting refresh", "Detected 2 displays",
                          // A read that fails: the middle of the range stands in.
                          "Reading brightness for Cinema HD Display", "Got brightness: nil", "Using brightness: 0.5",
                          // No product name.
                          "Reading brightness for Unknown", "Got brightness: 0.0", "Using brightness: 0.0"}));
  EXPECT_TRUE(manager().displays().empty());
  EXPECT_THAT(seen, IsEmpty());

  queues->runAllMain();
  EXPECT_EQ(rig.takeManagerLines(), managerLines({"Updated displays array with 2 items"}));
  EXPECT_THAT(seen, ElementsAre(0u, 2u)) << "observers see the old rows before and the new rows after";
  const auto& rows = manager().displays();
  ASSERT_THAT(names(rows), ElementsAre("Cinema HD Display", "Unknown Display"));
  EXPECT_EQ(rows[0].brightness, 0.5f);
  EXPECT_EQ(rows[0].brightnessFailure, BrightnessFailure::kError) << "the row says its level is a stand-in";
  EXPECT_EQ(rows[1].brightness, 0.0f);
  EXPECT_EQ(rows[1].brightnessFailure, std::nullopt);
  EXPECT_EQ(manager().deviceMap().size(), 2u);
  for (const auto& row : rows) {
    EXPECT_TRUE(manager().deviceMap().contains(row.id)) << row.name;
    EXPECT_FALSE(row.details.has_value()) << row.name;
  }
}

TEST_F(Refresh, NothingAttachedIsPublishedTooInThePlural) {
  const auto subscription = countChanges();
  manager().refresh();
  queues->runAllMain();
  EXPECT_EQ(rig.takeManagerLines(),
            managerLines({"Starting refresh", "Detected 0 displays", "Updated displays array with 0 items"}));
  EXPECT_EQ(changes, 1);
}

// --- state across refreshes ---

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
