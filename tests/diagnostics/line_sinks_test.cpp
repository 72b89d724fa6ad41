#include "diagnostics/line_sinks.hpp"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace lumaro {
namespace {

TEST(VectorLineSink, KeepsLinesFromManyThreadsWhole) {
  VectorLineSink sink;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&sink, t] {
      for (int i = 0; i < 250; ++i) sink.writeLine("thread " + std::to_string(t) + " line " + std::to_string(i));
    });
  }
  for (auto& thread : threads) thread.join();
  const auto lines = sink.take();
  ASSERT_EQ(lines.size(), 1000u);
  for (const auto& line : lines) EXPECT_EQ(line.rfind("thread ", 0), 0u) << line;
  EXPECT_TRUE(sink.lines().empty());
}

TEST(StdoutLineSink, WritesOneLineWithNewline) {
  testing::internal::CaptureStdout();
  StdoutLineSink sink;
  sink.writeLine("LumaroManager: Starting refresh");
  sink.writeLine("");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "LumaroManager: Starting refresh\n\n");
}

}  // namespace
}  // namespace lumaro
