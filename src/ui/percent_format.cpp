#include "ui/percent_format.hpp"

#include <unicode/measunit.h>
#include <unicode/numberformatter.h>
#include <unicode/unistr.h>

#include <cmath>

namespace lumaro::ui {

int brightnessPercent(float brightness) {
  // The model keeps brightness in 0.0–1.0; anything else is shown at the
  // nearest end rather than overflowing the conversion.
  if (std::isnan(brightness) || brightness <= 0.0f) return 0;
  if (brightness >= 1.0f) return 100;
  const float product = brightness * 100.0f;  // stays in single precision
  return static_cast<int>(std::trunc(product));
}

QString formatPercent(int percent, const QLocale& locale) {
  const QString fallback = QString::number(percent) + QLatin1Char('%');
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale icuLocale(locale.name().toStdString().c_str());
  // The percent unit formats 57 as 57%, unlike the percent style of the older
  // NumberFormat, which would multiply by 100 first.
  const icu::number::LocalizedNumberFormatter formatter = icu::number::NumberFormatter::withLocale(icuLocale)
                                                              .unit(icu::MeasureUnit::getPercent())
                                                              .precision(icu::number::Precision::integer());
  const icu::number::FormattedNumber formatted = formatter.formatInt(percent, status);
  if (U_FAILURE(status)) return fallback;
  const icu::UnicodeString text = formatted.toString(status);
  if (U_FAILURE(status)) return fallback;
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace lumaro::ui
