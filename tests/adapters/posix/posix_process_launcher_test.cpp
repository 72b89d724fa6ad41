#include "adapters/posix/posix_process_launcher.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "edid_rig.hpp"

namespace lumaro::process {
namespace {

using lumaro::testing::toolFixture;

std::string asText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::size_t openDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(PosixProcessLauncher, KeepsStreamsApartPassesArgumentsVerbatimAndReportsStatus) {
  PosixProcessLauncher launcher;
  const auto descriptorsBefore = openDescriptors();
  const auto result = launcher.run(toolFixture("echo-arguments.sh"), {"-l", "two words", "", "ünïcode"});
  const auto* completed = std::get_if<Completed>(&result);
  ASSERT_NE(completed, nullptr);
  EXPECT_EQ(asText(completed->standardOutput), "-l\ntwo words\n\nünïcode\n");
  EXPECT_EQ(asText(completed->standardError), "note\n");
  EXPECT_EQ(completed->status, 3);
  EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

TEST(PosixProcessLauncher, DrainsStderrFloodBeforeStdoutWithoutStalling) {
  // Run on a helper thread so a regression fails the test instead of hanging it.
  auto promise = std::make_shared<std::promise<RunResult>>();
  auto future = promise->get_future();
  std::thread([promise] {
    promise->set_value(PosixProcessLauncher().run(toolFixture("floods-stderr.sh"), {}));
  }).detach();
  ASSERT_EQ(future.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "child stalled";
  const auto result = future.get();
  ASSERT_TRUE(std::holds_alternative<Completed>(result));
  const auto& completed = std::get<Completed>(result);
  EXPECT_EQ(completed.standardError.size(), 1048576u);
  EXPECT_EQ(completed.standardOutput.size(), std::filesystem::file_size(toolFixture("registry-dump.txt")));
  EXPECT_EQ(completed.status, 0);
}

struct LaunchFailureCase {
  const char* name;
  std::string executable;
  const char* reason;  // expected inside the description
};

void PrintTo(const LaunchFailureCase& c, std::ostream* os) { *os << c.name; }

class PosixProcessLauncherFailure : public ::testing::TestWithParam<LaunchFailureCase> {};

TEST_P(PosixProcessLauncherFailure, DescribesWhyAndLeaksNoDescriptor) {
  const auto before = openDescriptors();
  const auto result = PosixProcessLauncher().run(GetParam().executable, {"-l"});
  const auto* failed = std::get_if<LaunchFailed>(&result);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->description, "launch of " + GetParam().executable + " failed: " + std::string(GetParam().reason));
  EXPECT_EQ(openDescriptors(), before);
}

INSTANTIATE_TEST_SUITE_P(Launch, PosixProcessLauncherFailure,
                         ::testing::Values(
                             // A data file: present but not executable.
                             LaunchFailureCase{"NotExecutable", toolFixture("registry-dump.txt"), "Permission denied"},
                             // A bare name would need a PATH search, which is never done.
                             LaunchFailureCase{"RelativePath", "sh", "the executable path is not absolute"},
                             LaunchFailureCase{"EmptyPath", "", "the executable path is not absolute"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumaro::process
