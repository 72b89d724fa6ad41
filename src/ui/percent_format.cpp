#include "ui/percent_format.hpp"

#include "ui/percent/icu_percent_format.hpp"
#include "ui/percent/percent_affixes_table.hpp"

namespace lumaro::ui {

QString formatPercent(int percent, const QLocale& locale) {
  // The table spares the tray ICU's number data, megabytes of resident memory.
  if (percent >= 0 && percent <= PercentAffixes::kLargest) {
    if (const auto affixes = percentAffixesFor(locale.name())) return affixes->format(percent);
  }
  return icuFormatPercent(percent, locale);
}

}  // namespace lumaro::ui
