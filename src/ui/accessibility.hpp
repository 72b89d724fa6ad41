#pragma once

class QWidget;

namespace lumaro::ui {

// Marks `widget` as decoration (a symbol beside a text or a control that
// already says what it shows): screen readers are told it is not there to be
// read. Call before the widget is first shown.
void hideFromAccessibility(QWidget& widget);

}  // namespace lumaro::ui
