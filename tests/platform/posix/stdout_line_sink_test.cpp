#include "platform/posix/stdout_line_sink.hpp"

#include <gtest/gtest.h>

namespace lumaro {
namespace {

TEST(StdoutLineSink, WritesOneLineWithNewline) {
  testing::internal::CaptureStdout();
  StdoutLineSink sink;
  sink.writeLine("LumaroManager: Starting refresh");
  sink.writeLine("");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "LumaroManager: Starting refresh\n\n");
}

}  // namespace
}  // namespace lumaro
