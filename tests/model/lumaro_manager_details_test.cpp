#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "edid_builders.hpp"
#include "edid_rig.hpp"
#include "manual_manager_test.hpp"

namespace lumaro::testing {
namespace {

using Identity = hid::SimulatedCinemaDisplay::Identity;

// Every call of one completion, and the context each ran in.
struct CompletionLog {
  std::vector<std::optional<DisplayEDIDDetails>> results;
  std::vector<bool> onMain;

  LumaroManager::DetailsCompletion recorder(const DispatchQueues& queues) {
    return [this, &queues](std::optional<DisplayEDIDDetails> details) {
      results.push_back(std::move(details));
      onMain.push_back(queues.isMainThread());
    };
  }
};

class DetailsTest : public TwoDisplaysTest {
 protected:
  static DisplayEDIDDetails expectedDetails() { return ManagerRig::attachedEdidDetails(); }

  CompletionLog log;
};

// A display that sends its EDID over USB is shown that EDID, where the
// registry has none for its model; one whose checksum fails is no EDID.
TEST_F(DetailsTest, TheEDIDADisplaySendsOverUSBIsItsOwn) {
  rig.plug({.productID = 0x9227, .serialNumber = "USB"})->answerEDID(appleDisplayEdid());
  auto corrupt = appleDisplayEdid();
  ++corrupt[20];
  rig.plug({.productID = 0x9227, .serialNumber = "BAD"})->answerEDID(corrupt);
  refreshNow();
  manager().loadEDIDDetails(manager().displays().at(2).id, log.recorder(*queues));
  manager().loadEDIDDetails(manager().displays().at(3).id, log.recorder(*queues));
  queues->runAll();
  EXPECT_EQ(log.results, (std::vector<std::optional<DisplayEDIDDetails>>{expectedDetails(), std::nullopt}));
}

TEST_F(DetailsTest, FoundDetailsReachTheCompletionFirstThenTheRowAndStayWhenALaterLookupFindsNothing) {
  const auto subscription = countChanges();
  manager().loadEDIDDetails(found, log.recorder(*queues));
  EXPECT_TRUE(log.results.empty());
  EXPECT_EQ(queues->pendingGlobal(), 1u);

  queues->runNextGlobal();
  ASSERT_EQ(log.results.size(), 1u);
  EXPECT_EQ(log.results[0], expectedDetails());
  EXPECT_FALSE(log.onMain[0]);
  EXPECT_FALSE(rig.row(found)->details.has_value()) << "before the main-queue step";
  EXPECT_EQ(changes, 0);

  queues->runAllMain();
  EXPECT_EQ(rig.row(found)->details, expectedDetails());
  EXPECT_FALSE(rig.row(missing)->details.has_value());
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(rig.takeManagerLines().empty());  // storing prints nothing

  // Stored details are no cache: the next call looks up again, and finding
  // nothing (the display-service source fails, the empty dump has no EDID)
  // leaves what is stored.
  rig.services->setOnlineListResult(1001);
  manager().loadEDIDDetails(found, log.recorder(*queues));
  queues->runAll();
  ASSERT_EQ(log.results.size(), 2u);
  EXPECT_FALSE(log.results[1].has_value());
  EXPECT_EQ(rig.dumpTool->runs(), 1);
  EXPECT_EQ(rig.row(found)->details, expectedDetails());
  EXPECT_EQ(changes, 1);
}

// The dump's EDID has another product code: only the row's USB serial can match it.
TEST_F(DetailsTest, TheRowsSerialReachesTheRegistryDumpLookup) {
  rig.plug(Identity{.productID = 0x9227, .name = "Serial only", .serialNumber = "305419896"});
  refreshNow();
  ASSERT_EQ(manager().displays().size(), 3u);
  rig.dumpTool->setOutput("    \"IODisplayEDID\" = <" +
                          testing_edid::hexOf(makeEdid({.product = 0x1234, .serial = 0x12345678, .length = 128})) +
                          ">\n");

  manager().loadEDIDDetails(manager().displays()[2].id, log.recorder(*queues));
  queues->runAll();
  ASSERT_EQ(log.results.size(), 1u);
  ASSERT_TRUE(log.results[0].has_value());
  EXPECT_EQ(log.results[0]->serialNumber, "305419896");
}

TEST_F(DetailsTest, LookupsFinishingOutOfOrderAnswerTheirOwnCallers) {
  CompletionLog forMissing;
  manager().loadEDIDDetails(found, log.recorder(*queues));
  manager().loadEDIDDetails(missing, forMissing.recorder(*queues));

  queues->runGlobalAt(1);
  EXPECT_TRUE(log.results.empty());
  ASSERT_EQ(forMissing.results.size(), 1u);
  EXPECT_FALSE(forMissing.results[0].has_value());

  queues->runGlobalAt(0);
  ASSERT_EQ(log.results.size(), 1u);
  EXPECT_EQ(log.results[0], expectedDetails());

  queues->runAllMain();
  EXPECT_TRUE(rig.row(found)->details.has_value());
  EXPECT_FALSE(rig.row(missing)->details.has_value());
}

// Neither details stored before a refresh nor those arriving after it reach
// the new rows; the old id then answers absent at once.
TEST_F(DetailsTest, ARefreshDropsStoredAndLateDetailsAndTheOldId) {
  manager().loadEDIDDetails(found, log.recorder(*queues));
  queues->runAll();
  ASSERT_TRUE(rig.row(found)->details.has_value());

  manager().loadEDIDDetails(found, log.recorder(*queues));
  manager().refresh();
  queues->runNextGlobal();  // its store now queues behind the refresh
  ASSERT_EQ(log.results.size(), 2u);
  EXPECT_TRUE(log.results[1].has_value());

  const auto subscription = countChanges();
  queues->runAllMain();
  EXPECT_EQ(changes, 1);  // the refresh only
  for (const auto& row : manager().displays()) EXPECT_FALSE(row.details.has_value()) << row.name;

  manager().loadEDIDDetails(found, log.recorder(*queues));
  manager().loadEDIDDetails(Uuid::random(), log.recorder(*queues));
  ASSERT_EQ(log.results.size(), 4u);
  EXPECT_FALSE(log.results[2].has_value());
  EXPECT_FALSE(log.results[3].has_value());
  EXPECT_EQ(queues->pendingGlobal(), 0u);
}

}  // namespace
}  // namespace lumaro::testing
