#pragma once

#include <QLocale>
#include <QString>

#include "model/brightness_percent.hpp"

namespace lumaro::ui {

using lumaro::brightnessPercent;

// `percent` formatted as a percentage of itself in `locale`'s integer percent
// style (57 reads "57%" in English, "57 %" in German).
QString formatPercent(int percent, const QLocale& locale = QLocale());

}  // namespace lumaro::ui
