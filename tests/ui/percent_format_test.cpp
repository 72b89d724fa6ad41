#include "ui/percent_format.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace lumaro::ui {
namespace {

struct PercentCase {
  const char* name;
  float brightness;
  int percent;
};

class BrightnessPercent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(BrightnessPercent, TruncatesTheSinglePrecisionProduct) {
  EXPECT_EQ(brightnessPercent(GetParam().brightness), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrightnessPercent,
    // Byte 127 is 49.8%: truncation, never rounding up.
    ::testing::Values(PercentCase{.name = "Byte127", .brightness = 127.0f / 255.0f, .percent = 49},
                      // 0.57f is a hair below 0.57, but the float product rounds to 57 exactly.
                      PercentCase{.name = "ProductRoundsToWhole", .brightness = 0.57f, .percent = 57},
                      // Outside the model's range: shown at the nearest end, not overflowed.
                      PercentCase{.name = "AboveOne", .brightness = 7.5f, .percent = 100},
                      PercentCase{.name = "Negative", .brightness = -0.3f, .percent = 0},
                      PercentCase{
                          .name = "NotANumber", .brightness = std::numeric_limits<float>::quiet_NaN(), .percent = 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct LocaleCase {
  const char* name;
  const char* locale;
  int percent;
  const char16_t* shown;
};

class FormatPercent : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(FormatPercent, FormatsTheIntegerAsAPercentageOfItself) {
  const LocaleCase& c = GetParam();
  EXPECT_EQ(formatPercent(c.percent, QLocale(QString::fromLatin1(c.locale))), QString::fromUtf16(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatPercent,
                         ::testing::Values(LocaleCase{"English", "en_US", 57, u"57%"},
                                           // German puts a no-break space before the sign.
                                           LocaleCase{"German", "de_DE", 57, u"57\u00a0%"},
                                           // Turkish writes the sign first.
                                           LocaleCase{"Turkish", "tr_TR", 57, u"%57"},
                                           // Arabic uses its own digits.
                                           LocaleCase{"Arabic", "ar_EG", 57, u"\u0665\u0667\u066a\u061c"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatPercentLocales, EachCallFollowsTheLocaleItIsGiven) {
  // The formatter is kept between calls; a change of locale, and a change
  // back, must still show in the very next text.
  const QLocale english(QStringLiteral("en_US"));
  const QLocale german(QStringLiteral("de_DE"));
  EXPECT_EQ(formatPercent(57, english), QString::fromUtf16(u"57%"));
  EXPECT_EQ(formatPercent(57, german), QString::fromUtf16(u"57\u00a0%"));
  EXPECT_EQ(formatPercent(58, german), QString::fromUtf16(u"58\u00a0%"));
  EXPECT_EQ(formatPercent(57, english), QString::fromUtf16(u"57%"));
}

}  // namespace
}  // namespace lumaro::ui
