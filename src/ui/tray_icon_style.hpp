#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <optional>

namespace lumaro::ui {

// The themed symbolic icon a StatusNotifierItem host looks up and recolours
// for its panel; packaging installs it under hicolor/symbolic/apps.
inline constexpr const char* kSymbolicIconName = "io.github.lumaro.Lumaro-symbolic";

// The colour the tray symbol is drawn in on a panel of `background`: light on
// a dark panel, dark on a light one, whichever contrasts more.
QColor symbolColorOn(const QColor& background);

// The panel's colour as seen in `surroundings`, a picture of the item's place
// with a margin of `margin` pixels around it: the mean of that margin only, so
// whatever the item itself shows does not count. Absent for an empty picture.
std::optional<QColor> panelColorAround(const QImage& surroundings, int margin);

// The tray item's icon: our sun in `color`. With `themed`, the desktop theme's
// symbolic icon when it has one, so a host that recolours icons can do so.
QIcon traySymbol(const QColor& color, bool themed);

}  // namespace lumaro::ui
