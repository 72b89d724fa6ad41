#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>

namespace lumaro::ui {

// Loads the interface translation for `locale` from the application's
// resources and installs it; the translation stays active until the returned
// translator is destroyed. Null when no translation covers the locale, in
// which case the texts show as written.
std::unique_ptr<QTranslator> installTranslation(const QLocale& locale);

}  // namespace lumaro::ui
