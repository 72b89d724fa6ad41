#pragma once

class QWidget;

namespace lumaro::ui {

// Marks `widget` as decoration (a symbol beside a text or a control that
// already says what it shows): screen readers are told it is not there to be
// read. Call before the widget is first shown.
void hideFromAccessibility(QWidget& widget);

// Makes a popup window that is a child of `owner` one of the owner's
// accessible children while it is shown: Qt leaves popup windows out of the
// application's accessible tree, so a screen reader browsing the owner would
// otherwise never find what the popup shows. Call before the owner is first
// shown.
void acceptAccessiblePopups(QWidget& owner);
// Tells screen readers that `owner`'s popup opened or closed.
void announcePopupChange(QWidget& owner);

}  // namespace lumaro::ui
