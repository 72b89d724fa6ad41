#include "ui/percent_format.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace lumaro::ui {
namespace {

TEST(BrightnessPercent, TruncatesTheSinglePrecisionProductAndKeepsToTheRange) {
  EXPECT_EQ(brightnessPercent(127.0f / 255.0f), 49) << "49.8%: truncated, never rounded up";
  EXPECT_EQ(brightnessPercent(0.57f), 57) << "a hair below 0.57, but the float product rounds to 57 exactly";
  // Outside the model's range: shown at the nearest end, not overflowed.
  EXPECT_EQ(brightnessPercent(7.5f), 100);
  EXPECT_EQ(brightnessPercent(-0.3f), 0);
  EXPECT_EQ(brightnessPercent(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(FormatPercent, FormatsTheIntegerAsAPercentageInTheLocaleOfEachCall) {
  // The formatter is kept between calls; every change of locale, and the
  // change back, must show in the very next text.
  const struct {
    const char* locale;
    int percent;
    const char16_t* shown;
  } calls[] = {
      {"en_US", 57, u"57%"},
      {"de_DE", 57, u"57\u00a0%"},  // a no-break space before the sign
      {"de_DE", 58, u"58\u00a0%"},
      {"tr_TR", 57, u"%57"},                       // the sign first
      {"ar_EG", 57, u"\u0665\u0667\u066a\u061c"},  // its own digits
      {"en_US", 57, u"57%"},
  };
  for (const auto& call : calls) {
    EXPECT_EQ(formatPercent(call.percent, QLocale(QString::fromLatin1(call.locale))), QString::fromUtf16(call.shown))
        << call.locale << ' ' << call.percent;
  }
}

}  // namespace
}  // namespace lumaro::ui
