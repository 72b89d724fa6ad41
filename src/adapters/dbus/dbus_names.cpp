#include "adapters/dbus/dbus_names.hpp"

#include <array>
#include <utility>

namespace lumaro::dbus {

namespace {
const std::array<std::pair<DisplayFailure, const char*>, 5> kNames = {{
    {DisplayFailure::none, "ok"},
    {DisplayFailure::refused, "refused"},
    {DisplayFailure::notPermitted, "not-permitted"},
    {DisplayFailure::gone, "gone"},
    {DisplayFailure::unreachable, "unreachable"},
}};
}  // namespace

QString failureName(DisplayFailure failure) {
  for (const auto& [value, name] : kNames) {
    if (value == failure) return QString::fromLatin1(name);
  }
  return QStringLiteral("refused");
}

DisplayFailure failureFromName(const QString& name) {
  for (const auto& [value, text] : kNames) {
    if (name == QLatin1String(text)) return value;
  }
  return DisplayFailure::refused;
}

}  // namespace lumaro::dbus
