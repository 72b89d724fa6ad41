// The system resuming, as logind announces it on the system bus (the mock of
// with_mock_logind.sh).

#include "adapters/logind/logind_resume_events.hpp"

#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lumaro {
namespace {

TEST(LogindResume, PrepareForSleepFalseIsDeliveredOnceThroughTheWatchedDescriptor) {
  const char* logind = std::getenv("LUMARO_MOCK_LOGIND_DIR");
  if (logind == nullptr) GTEST_SKIP() << "needs the mock logind (run through ctest)";
  LogindResumeEvents events;
  ASSERT_GE(events.fd(), 0);
  EXPECT_FALSE(events.readPending());

  std::ofstream(std::filesystem::path(logind) / "resume").flush();
  bool resumed = false;
  for (int tries = 0; tries < 100 && !resumed; ++tries) {
    pollfd watched{.fd = events.fd(), .events = POLLIN, .revents = 0};
    if (::poll(&watched, 1, 50) > 0) resumed = events.readPending();
  }
  EXPECT_TRUE(resumed);
  EXPECT_FALSE(events.readPending());
}

}  // namespace
}  // namespace lumaro
