#include "ui/percent/percent_affixes.hpp"

namespace lumaro::ui {

QString PercentAffixes::format(int percent) const {
  QString text = prefix;
  for (const QChar digit : QString::number(percent)) {
    const char32_t shown[] = {zero + static_cast<char32_t>(digit.unicode() - u'0')};
    text += QString::fromUcs4(shown, 1);  // a digit may lie beyond the BMP
  }
  return text + suffix;
}

}  // namespace lumaro::ui
