#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where our windows go on screen. Pure geometry in global coordinates, so the
// rules can be checked without a window system.
namespace lumaro::ui::placement {

// The gap kept between a window and what it belongs to.
inline constexpr int kGap = 4;

// Top-left corner of the tray window. `anchor` is the tray item's geometry
// when the tray reports one, otherwise a 1×1 rectangle at the cursor (the
// StatusNotifierItem hosts report none); `available` is the work area of the
// screen holding the anchor. The window opens away from the panel the anchor
// sits on: above an anchor at the bottom, below one at the top, beside one on
// a left or right panel, centred on it along that edge. It lies inside
// `available` and clear of the anchor whenever the room on that side allows.
QPoint trayWindowPosition(const QRect& anchor, const QSize& window, const QRect& available);

// Top-left corner of a popover beside `anchor` (the whole list, in global
// coordinates): to its right when there is room, else to its left, top edges
// aligned, then kept inside `available`.
QPoint popoverPosition(const QRect& anchor, const QSize& popover, const QRect& available);

}  // namespace lumaro::ui::placement
