#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

// The few text styles the interface uses, derived from the platform's
// default font and palette so they follow the user's theme.
namespace lumaro::ui::styles {

QFont headline(const QFont& base);  // a row or panel title: bold, body size
QFont caption(const QFont& base);   // small explanatory text
QFont caption2(const QFont& base);  // the smallest text, for field titles
QFont footnote(const QFont& base, qreal pointSize);

// Text colour for secondary content: the normal text colour at reduced
// opacity, so it reads on light and dark backgrounds alike.
QColor secondary(const QPalette& palette);

// Draws `widget`'s text (and that of its children) in the secondary colour.
void makeSecondary(QWidget& widget);

// Link colour for the about block: blue in both themes.
QColor link(const QPalette& palette);

}  // namespace lumaro::ui::styles
