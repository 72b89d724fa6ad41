#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

class QWidget;

namespace lumaro::ui {

// Our own symbol set, addressed by the names the interface uses
// ("sun.max.fill", "arrow.clockwise", ...). The SVGs are drawn in
// `currentColor`; every icon is rendered in the colour asked for, so the
// same files read well on light and dark themes.
namespace symbols {
inline constexpr const char* kSunMaxFill = "sun.max.fill";
inline constexpr const char* kSunMax = "sun.max";
inline constexpr const char* kSunMinFill = "sun.min.fill";
inline constexpr const char* kDisplay = "display";
inline constexpr const char* kInfoCircle = "info.circle";
inline constexpr const char* kArrowClockwise = "arrow.clockwise";
inline constexpr const char* kPower = "power";
}  // namespace symbols

// True when a symbol of that name ships with the application.
bool hasSymbol(const QString& name);

// A scalable icon drawing `name` in `color` (its alpha is honoured). Disabled
// mode draws at reduced opacity. An unknown name gives a null icon.
QIcon symbolIcon(const QString& name, const QColor& color);

// The symbol drawn in the text colour of `widget`'s palette.
QIcon symbolIcon(const QString& name, const QWidget& widget);

// A pixmap of `size` device-independent pixels for `widget`'s screen.
QPixmap symbolPixmap(const QString& name, const QColor& color, QSize size, const QWidget& widget);

}  // namespace lumaro::ui
