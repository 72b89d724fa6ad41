#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "edid_rig.hpp"

namespace lumaro::testing {
namespace {

using namespace std::chrono_literals;

const std::size_t kDumpBytes = std::filesystem::file_size(toolFixture("registry-dump.txt"));
const std::string kStderrText = "ioreg: cannot open the registry\nsecond line\n";

// The lines of a harvest that launched the tool, then printed `after`.
std::vector<std::string> launched(const std::vector<std::string>& after) {
  std::vector<std::string> lines{prefixed("Getting EDID data via ioreg command"),
                                 prefixed("Launching ioreg process...")};
  for (const auto& line : after) lines.push_back(prefixed(line));
  return lines;
}

// The lines of a harvest whose tool ran to the end, then printed `after`.
std::vector<std::string> exited(std::size_t outBytes, std::size_t errBytes, int status,
                                const std::vector<std::string>& after) {
  std::vector<std::string> lines{
      "Process launched, reading output pipes...",
      "Read " + std::to_string(outBytes) + " bytes from stdout, " + std::to_string(errBytes) + " bytes from stderr",
      "ioreg exit code: " + std::to_string(status)};
  lines.insert(lines.end(), after.begin(), after.end());
  return launched(lines);
}

const std::vector<std::string> kSuccessLines =
    exited(kDumpBytes, 0, 0,
           {"ioreg completed, output size: " + std::to_string(kDumpBytes) + " characters",
            "Found 2 EDID entries from Metadata"});

std::vector<std::string> cached(int entries) {
  return {prefixed("Returning cached EDID data (" + std::to_string(entries) + " entries)")};
}

class EdidHarvest : public ::testing::Test {
 protected:
  std::shared_ptr<FixtureToolLauncher> tool = std::make_shared<FixtureToolLauncher>(toolFixture("registry-dump.sh"));
  EdidRig rig{tool};
};

TEST_F(EdidHarvest, ResultIsServedFromTheCacheForTenSecondsOfWallClock) {
  const auto first = rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(rig.sink->take(), kSuccessLines);
  ASSERT_EQ(first.size(), 2u);

  rig.now += 9999ms;
  const auto second = rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(rig.sink->take(), cached(2)) << "just under ten seconds";
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[1].edidData, first[1].edidData);

  rig.now += 1ms;
  rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(rig.sink->take(), kSuccessLines) << "at ten seconds";

  // A clock set back gives a negative age, which is fresh until ten seconds
  // past the fill time.
  rig.now -= 60s;
  rig.controller->getEDIDDataViaIoreg();
  rig.now += 69900ms;
  rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(tool->runs(), 2) << "after the clock was set back";
  rig.now += 100ms;
  rig.controller->getEDIDDataViaIoreg();
  EXPECT_EQ(tool->runs(), 3);
}

TEST_F(EdidHarvest, EmptyParseResultIsCachedLikeAnyOther) {
  tool->use(toolFixture("prints-no-displays.sh"));
  EXPECT_TRUE(rig.controller->getEDIDDataViaIoreg().empty());
  EXPECT_EQ(rig.sink->take().back(), prefixed("Parsed 0 EDID entries from ioreg"));
  EXPECT_TRUE(rig.controller->getEDIDDataViaIoreg().empty());
  EXPECT_EQ(rig.sink->take(), cached(0));
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

struct FailureCase {
  const char* name;
  std::string script;
  std::vector<std::string> lines;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class EdidHarvestFailure : public EdidHarvest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(EdidHarvestFailure, ReportsThenFallsBackWithoutTouchingTheCache) {
  tool->use(toolFixture(GetParam().script));
  EXPECT_TRUE(rig.controller->getEDIDDataViaIoreg().empty()) << "nothing cached yet";
  EXPECT_EQ(rig.sink->take(), GetParam().lines);

  // A stale cache is returned whatever its age, and since a failure leaves the
  // cache time alone, the next call runs the tool again.
  tool->use(toolFixture("registry-dump.sh"));
  rig.controller->getEDIDDataViaIoreg();
  rig.now += 1h;
  tool->use(toolFixture(GetParam().script));
  EXPECT_EQ(rig.controller->getEDIDDataViaIoreg().size(), 2u);
  EXPECT_EQ(rig.controller->getEDIDDataViaIoreg().size(), 2u);
  EXPECT_EQ(tool->runs(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Harvest, EdidHarvestFailure,
    ::testing::Values(FailureCase{"MissingExecutable", "no-such-tool.sh",
                                  launched({"Failed to run ioreg command: launch of " + toolFixture("no-such-tool.sh") +
                                            " failed: No such file or directory"})},
                      FailureCase{"ExitOneWithMessage", "fails-with-message.sh",
                                  exited(0, kStderrText.size(), 1,
                                         {"ioreg failed with exit code 1", "ioreg stderr: " + kStderrText})},
                      FailureCase{"ExitOneSilently", "fails-silently.sh",
                                  exited(0, 0, 1, {"ioreg failed with exit code 1"})},
                      FailureCase{"ExitZeroWithoutOutput", "prints-nothing.sh",
                                  exited(0, 0, 0, {"WARNING: ioreg produced no output!"})},
                      // Whatever it printed before the crash is not a result.
                      FailureCase{"KilledBySignal", "killed-by-signal.sh",
                                  exited(kDumpBytes, 0, 137, {"ioreg failed with exit code 137"})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EdidHarvest, ConcurrentLookupsShareOneToolRun) {
  tool->use(toolFixture("registry-dump-slow.sh"));
  constexpr int kLookups = 8;
  std::vector<std::optional<DisplayEDIDDetails>> results(kLookups);
  std::vector<std::thread> threads;
  for (auto& result : results) {
    threads.emplace_back([this, &result] { result = rig.controller->fetchEDIDDetails(0x05AC, 0x9227, std::nullopt); });
  }
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(tool->runs(), 1);
  ASSERT_TRUE(results[0].has_value());
  EXPECT_EQ(results[0]->productID, "0x9227");
  for (const auto& result : results) EXPECT_EQ(result, results[0]);
  const auto lines = rig.sink->lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), cached(2)[0]), kLookups - 1);
}

}  // namespace
}  // namespace lumaro::testing
