#include "diagnostics/format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lumaro::diag {
namespace {

TEST(DiagnosticFormat, FloatsPrintShortestFormThatReadsBack) {
  EXPECT_EQ(floatValue(0.5f), "0.5");
  EXPECT_EQ(floatValue(1.0f), "1.0");
  EXPECT_EQ(floatValue(0.0f), "0.0");
  EXPECT_EQ(floatValue(127.0f / 255.0f), "0.49803922");
  EXPECT_EQ(floatValue(-0.2f), "-0.2");
  EXPECT_EQ(floatValue(100.0f), "100.0");
  EXPECT_EQ(floatValue(1e-5f), "1e-05");
  EXPECT_EQ(floatValue(std::numeric_limits<float>::quiet_NaN()), "nan");
  EXPECT_EQ(optionalFloat(std::nullopt), "nil");
  EXPECT_EQ(optionalFloat(0.5f), "0.5");
}

TEST(DiagnosticFormat, CodesHexAndBooleans) {
  EXPECT_EQ(code(0), "0");
  EXPECT_EQ(code(static_cast<std::int32_t>(0xE00002C1u)), "-536870207");
  EXPECT_EQ(hex4(0x5AC), "05AC");
  EXPECT_EQ(hex4(0xAB), "00AB");
  EXPECT_EQ(hex4(0x9221C), "9221C");
  EXPECT_EQ(hex4(-1), "FFFFFFFF");
  EXPECT_EQ(boolean(true), "true");
  EXPECT_EQ(boolean(false), "false");
}

}  // namespace
}  // namespace lumaro::diag
