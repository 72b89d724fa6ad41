#pragma once

#include <QString>
#include <optional>

#include "ui/percent/percent_affixes.hpp"

namespace lumaro::ui {

// The affixes for a locale by its QLocale::name(); absent for a locale the
// table lacks (its text depends on more than the digits, or on an ICU
// default locale other than a C or POSIX environment's).
std::optional<PercentAffixes> percentAffixesFor(const QString& localeName);

// Whether ICU's default locale is a C or POSIX environment's, en_US_POSIX:
// ICU takes it from the first of LC_ALL, LC_MESSAGES and LANG that is set,
// and writes any locale it lacks as it writes that default.
bool isPosixEnvironment(const char* (*variable)(const char*));

}  // namespace lumaro::ui
