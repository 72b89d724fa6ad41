#include "adapters/dbus/dbus_names.hpp"

#include <array>
#include <utility>

namespace lumaro::dbus {

namespace {
const std::array<std::pair<DisplayFailure, const char*>, 4> kNames = {{
    {DisplayFailure::none, "ok"},
    {DisplayFailure::refused, "refused"},
    {DisplayFailure::notPermitted, "not-permitted"},
    {DisplayFailure::gone, "gone"},
}};
}  // namespace

QString failureName(DisplayFailure failure) {
  for (const auto& [value, name] : kNames) {
    if (value == failure) return QString::fromLatin1(name);
  }
  return QStringLiteral("refused");
}

}  // namespace lumaro::dbus
