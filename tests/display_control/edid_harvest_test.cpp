#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "edid_rig.hpp"

namespace lumaro::testing {
namespace {

using ::testing::ElementsAre;

const std::size_t kDumpBytes = std::filesystem::file_size(toolFixture("registry-dump.txt"));
const std::string kStderrText = "ioreg: cannot open the registry\nsecond line\n";

const std::vector<std::string> kStartLines = {prefixed("Getting EDID data via ioreg command"),
                                              prefixed("Launching ioreg process...")};

std::vector<std::string> ranLines(std::size_t outBytes, std::size_t errBytes, int status) {
  return {prefixed("Process launched, reading output pipes..."),
          prefixed("Read " + std::to_string(outBytes) + " bytes from stdout, " + std::to_string(errBytes) +
                   " bytes from stderr"),
          prefixed("ioreg exit code: " + std::to_string(status))};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<std::string> kSuccessLines =
    concat(concat(kStartLines, ranLines(kDumpBytes, 0, 0)),
           {prefixed("ioreg completed, output size: " + std::to_string(kDumpBytes) + " characters"),
            prefixed("Found 2 EDID entries from Metadata")});

class EdidHarvest : public ::testing::Test {
 protected:
  std::shared_ptr<FixtureToolLauncher> tool = std::make_shared<FixtureToolLauncher>(toolFixture("registry-dump.sh"));
  EdidRig rig{tool};
};

TEST_F(EdidHarvest, SuccessfulRunIsParsedCachedAndServedWithoutTheTool) {
  auto first = rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(rig.sink->take(), kSuccessLines);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].name, "Cinema Display 24");
  EXPECT_EQ(first[1].name, "Cinema Display 27");

  first.clear();  // a caller's copy is not the cache
  rig.clock.advance(5);
  const auto second = rig.controller->getEDIDDataViaIoreg();
  EXPECT_THAT(rig.sink->take(), ElementsAre(prefixed("Returning cached EDID data (2 entries)")));
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[1].edidData[10], 0x27);
  EXPECT_EQ(tool->runs(), 1);
}

TEST_F(EdidHarvest, EmptyParseResultIsCachedLikeAnyOther) {
  tool->use(toolFixture("prints-no-displays.sh"));
  EXPECT_TRUE(rig.controller->getEDIDDataViaIoreg().empty());
  EXPECT_EQ(rig.sink->take().back(), prefixed("Parsed 0 EDID entries from ioreg"));
  rig.clock.advance(1);
  EXPECT_TRUE(rig.controller->getEDIDDataViaIoreg().empty());
  EXPECT_THAT(rig.sink->take(), ElementsAre(prefixed("Returning cached EDID data (0 entries)")));
  EXPECT_EQ(tool->runs(), 1);
}

TEST_F(EdidHarvest, InvalidUtf8IsReplacedAndParsedWithoutComplaint) {
  tool->use(toolFixture("registry-dump-invalid-utf8.sh"));
  const auto edids = rig.controller->getEDIDDataViaIoreg();
  // Same byte count as the clean dump: one bad byte becomes one U+FFFD.
  EXPECT_EQ(rig.sink->take(), kSuccessLines);
  ASSERT_EQ(edids.size(), 2u);
  EXPECT_EQ(edids[1].name,
            "Cinema\xEF\xBF\xBD"
            "Display 27");
}

struct CacheAgeCase {
  const char* name;
  double secondsLater;
  bool runsTool;
};

void PrintTo(const CacheAgeCase& c, std::ostream* os) { *os << c.name; }

class EdidCacheAge : public EdidHarvest, public ::testing::WithParamInterface<CacheAgeCase> {};

TEST_P(EdidCacheAge, ToolRunsAgainOnlyOnceTheCacheIsTenSecondsOld) {
  rig.controller->getEDIDDataViaIoreg();
  rig.sink->take();
  rig.clock.advance(GetParam().secondsLater);
  EXPECT_EQ(rig.controller->getEDIDDataViaIoreg().size(), 2u);
  if (GetParam().runsTool) {
    EXPECT_EQ(rig.sink->take(), kSuccessLines);
    EXPECT_EQ(tool->runs(), 2);
  } else {
    EXPECT_THAT(rig.sink->take(), ElementsAre(prefixed("Returning cached EDID data (2 entries)")));
    EXPECT_EQ(tool->runs(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Cache, EdidCacheAge,
                         ::testing::Values(CacheAgeCase{"JustUnderTenSeconds", 9.999, false},
                                           CacheAgeCase{"ExactlyTenSeconds", 10.0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A clock set back yields a negative age, which is fresh.
TEST_F(EdidHarvest, ClockSetBackStaysFreshUntilTenSecondsPastTheFillTime) {
  rig.controller->getEDIDDataViaIoreg();
  rig.clock.advance(-60);
  rig.controller->getEDIDDataViaIoreg();
  rig.clock.advance(69.9);
  rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(tool->runs(), 1);
  rig.clock.advance(0.1);
  rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(tool->runs(), 2);
}

struct FailureCase {
  const char* name;
  std::string script;
  std::vector<std::string> linesAfterLaunch;  // after the two start lines
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class EdidHarvestFailure : public EdidHarvest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(EdidHarvestFailure, ReportsThenFallsBackWithoutTouchingTheCache) {
  const auto& failure = GetParam();

  // Nothing cached yet: an empty list.
  tool->use(failure.script);
  EXPECT_TRUE(rig.controller->getEDIDDataViaIoreg().empty());
  EXPECT_EQ(rig.sink->take(), concat(kStartLines, failure.linesAfterLaunch));

  // A stale cache is returned whatever its age, without the cached-data line.
  tool->use(toolFixture("registry-dump.sh"));
  rig.controller->getEDIDDataViaIoreg();
  rig.clock.advance(3600);
  tool->use(failure.script);
  rig.sink->take();
  EXPECT_EQ(rig.controller->getEDIDDataViaIoreg().size(), 2u);
  EXPECT_EQ(rig.sink->take(), concat(kStartLines, failure.linesAfterLaunch));

  // The failure left the cache time alone, so the next call tries again.
  rig.clock.advance(1);
  const int runsBefore = tool->runs();
  rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(tool->runs(), runsBefore + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Harvest, EdidHarvestFailure,
    ::testing::Values(FailureCase{"MissingExecutable",
                                  toolFixture("no-such-tool.sh"),
                                  {prefixed("Failed to run ioreg command: launch of " + toolFixture("no-such-tool.sh") +
                                            " failed: No such file or directory")}},
                      FailureCase{
                          "ExitOneWithMessage", toolFixture("fails-with-message.sh"),
                          concat(ranLines(0, kStderrText.size(), 1), {prefixed("ioreg failed with exit code 1"),
                                                                      prefixed("ioreg stderr: " + kStderrText)})},
                      FailureCase{"ExitOneSilently", toolFixture("fails-silently.sh"),
                                  concat(ranLines(0, 0, 1), {prefixed("ioreg failed with exit code 1")})},
                      FailureCase{"ExitZeroWithoutOutput", toolFixture("prints-nothing.sh"),
                                  concat(ranLines(0, 0, 0), {prefixed("WARNING: ioreg produced no output!")})},
                      // Whatever it printed before the crash is not a result.
                      FailureCase{"KilledBySignal", toolFixture("killed-by-signal.sh"),
                                  concat(ranLines(kDumpBytes, 0, 137), {prefixed("ioreg failed with exit code 137")})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EdidHarvest, ConcurrentLookupsShareOneToolRun) {
  tool->use(toolFixture("registry-dump-slow.sh"));
  constexpr int kLookups = 8;
  std::vector<std::optional<DisplayEDIDDetails>> results(kLookups);
  std::vector<std::thread> threads;
  for (int i = 0; i < kLookups; ++i) {
    threads.emplace_back([&, i] {
      results[static_cast<std::size_t>(i)] = rig.controller->fetchEDIDDetails(0x05AC, 0x9227, std::nullopt);
    });
  }
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(tool->runs(), 1);
  ASSERT_TRUE(results[0].has_value());
  EXPECT_EQ(results[0]->productID, "0x9227");
  for (const auto& result : results) EXPECT_EQ(result, results[0]);
  const auto lines = rig.sink->lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), prefixed("Returning cached EDID data (2 entries)")), kLookups - 1);
}

}  // namespace
}  // namespace lumaro::testing
