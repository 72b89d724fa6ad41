#pragma once

#include <QLocale>
#include <QString>

namespace lumaro::ui {

// The whole percent a brightness of 0.0–1.0 is shown as: the single-precision
// product b × 100 truncated toward zero, so 254/255 shows 99, never 100.
int brightnessPercent(float brightness);

// `percent` formatted as a percentage of itself in `locale`'s integer percent
// style (57 reads "57%" in English, "57 %" in German).
QString formatPercent(int percent, const QLocale& locale = QLocale());

}  // namespace lumaro::ui
