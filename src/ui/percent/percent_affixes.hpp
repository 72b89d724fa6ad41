#pragma once

#include <QString>

namespace lumaro::ui {

// How a locale writes a whole percentage from 0 to 100: its digits (from
// `zero` up), between a fixed prefix and suffix. Taken from ICU at build time
// for every locale Qt knows, so showing a percentage needs none of ICU's
// number data at run time.
struct PercentAffixes {
  QString prefix;
  char32_t zero = U'0';
  QString suffix;

  static constexpr int kLargest = 100;  // the range the table was checked over

  QString format(int percent) const;
  bool operator==(const PercentAffixes&) const = default;
};

}  // namespace lumaro::ui
