#include "ui/percent_format.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

#include "ui/percent/icu_percent_format.hpp"
#include "ui/percent/percent_affixes_table.hpp"

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

TEST(FormatPercent, WritesEveryLocaleQtKnowsAsIcuDoes) {
  // Most locales come from the table built at build time, not from ICU; the
  // texts must be ICU's all the same, down to the digits.
  auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
  locales.append(QLocale::c());
  for (const QLocale& locale : locales) {
    QStringList shown, icu;
    for (int percent = -1; percent <= 101; ++percent) {
      shown << formatPercent(percent, locale);
      icu << icuFormatPercent(percent, locale);
    }
    EXPECT_EQ(shown, icu) << locale.name().toStdString();
  }
  // The usual locales must not need ICU's number data.
  EXPECT_TRUE(percentAffixesFor(QStringLiteral("en_US")));
  EXPECT_TRUE(percentAffixesFor(QStringLiteral("de_DE")));
}

TEST(FormatPercent, TakesIcusDefaultLocaleFromTheFirstLocaleVariableSet) {
  struct Environment {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    bool posix;
  };
  static const Environment* current = nullptr;
  const auto variable = [](const char* name) -> const char* {
    if (std::string_view(name) == "LC_ALL") return current->lcAll;
    return std::string_view(name) == "LC_MESSAGES" ? current->lcMessages : current->lang;
  };
  const Environment environments[] = {
      {nullptr, nullptr, nullptr, true},
      {nullptr, nullptr, "C.UTF-8", true},
      {nullptr, nullptr, "de_DE.UTF-8", false},
      {"POSIX", "de_DE.UTF-8", "de_DE.UTF-8", true},
      {nullptr, "de_DE.UTF-8", "C", false},
      {"", nullptr, "C", false},  // set, though empty: left to ICU
  };
  for (const Environment& environment : environments) {
    current = &environment;
    EXPECT_EQ(isPosixEnvironment(variable), environment.posix)
        << (environment.lcAll ? environment.lcAll : "-") << ' ' << (environment.lcMessages ? environment.lcMessages : "-")
        << ' ' << (environment.lang ? environment.lang : "-");
  }
}

}  // namespace
}  // namespace lumaro::ui
