#include "ui/percent_format.hpp"

#include <cmath>

#include "ui/percent/icu_percent_format.hpp"
#include "ui/percent/percent_affixes_table.hpp"

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
  // The table spares the tray ICU's number data, megabytes of resident memory.
  if (percent >= 0 && percent <= PercentAffixes::kLargest) {
    if (const auto affixes = percentAffixesFor(locale.name())) return affixes->format(percent);
  }
  return icuFormatPercent(percent, locale);
}

}  // namespace lumaro::ui
