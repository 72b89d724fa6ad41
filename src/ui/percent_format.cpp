#include "ui/percent_format.hpp"

#include <unicode/measunit.h>
#include <unicode/numberformatter.h>
#include <unicode/unistr.h>

#include <optional>

namespace lumaro::ui {

namespace {

// Building a formatter loads the locale's number data, some hundred times the
// cost of one format; rows format on every brightness change, so the
// formatter of the last locale asked for is kept (per thread: ICU formatters
// are not shared across threads here).
class FormatterCache {
 public:
  const icu::number::LocalizedNumberFormatter& formatterFor(const QLocale& locale) {
    if (!formatter_ || locale != locale_) {
      // The percent unit formats 57 as 57%, unlike the percent style of the
      // older NumberFormat, which would multiply by 100 first.
      formatter_ = icu::number::NumberFormatter::withLocale(icu::Locale(locale.name().toStdString().c_str()))
                       .unit(icu::MeasureUnit::getPercent())
                       .precision(icu::number::Precision::integer());
      locale_ = locale;
    }
    return *formatter_;
  }

 private:
  QLocale locale_;
  std::optional<icu::number::LocalizedNumberFormatter> formatter_;
};

}  // namespace

QString formatPercent(int percent, const QLocale& locale) {
  thread_local FormatterCache cache;
  UErrorCode status = U_ZERO_ERROR;
  const icu::number::FormattedNumber formatted = cache.formatterFor(locale).formatInt(percent, status);
  if (U_FAILURE(status)) return QString::number(percent) + QLatin1Char('%');
  const icu::UnicodeString text = formatted.toString(status);
  if (U_FAILURE(status)) return QString::number(percent) + QLatin1Char('%');
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace lumaro::ui
