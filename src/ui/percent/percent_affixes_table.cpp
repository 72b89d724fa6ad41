#include "ui/percent/percent_affixes_table.hpp"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <iterator>

namespace lumaro::ui {
namespace {

// Fixed-size arrays, not pointers: the table needs no relocations, so only
// the pages a lookup touches become resident.
struct PercentAffixEntry {
  char name[16];
  char16_t prefix[8];
  char16_t suffix[8];
  char32_t zero;
};

#include "percent_affixes_table.inc"

template <std::size_t N>
const PercentAffixEntry* find(const PercentAffixEntry (&table)[N], const QByteArray& name) {
  const auto* end = std::end(table);
  const auto* found = std::lower_bound(std::begin(table), end, name, [](const auto& entry, const auto& key) {
    return std::strcmp(entry.name, key.constData()) < 0;
  });
  return found != end && name == found->name ? found : nullptr;
}

}  // namespace

std::optional<PercentAffixes> percentAffixesFor(const QString& localeName) {
  const QByteArray name = localeName.toLatin1();
  const PercentAffixEntry* found = find(kPercentAffixes, name);
  // ICU settles its default locale once; so does this.
  static const bool posix = isPosixEnvironment([](const char* name) -> const char* { return std::getenv(name); });
  if (found == nullptr && posix) found = find(kPercentAffixesUnderPosix, name);
  if (found == nullptr) return std::nullopt;
  return PercentAffixes{QString::fromUtf16(found->prefix), found->zero, QString::fromUtf16(found->suffix)};
}

bool isPosixEnvironment(const char* (*variable)(const char*)) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = variable(name);
    if (value == nullptr) continue;
    const std::string_view id(value);
    const std::string_view base = id.substr(0, id.find('.'));
    return (base == "C" || base == "POSIX") && id.find('@') == std::string_view::npos;
  }
  return true;
}

}  // namespace lumaro::ui
