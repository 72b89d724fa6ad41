#pragma once

#include <QLocale>
#include <QString>

namespace lumaro::ui {

// `percent` in `locale`'s integer percent style, as ICU formats it. Loads
// ICU's number data (some megabytes resident) on first use.
QString icuFormatPercent(int percent, const QLocale& locale);

}  // namespace lumaro::ui
