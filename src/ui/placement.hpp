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
// StatusNotifierItem hosts report none). The window is centred on the anchor
// horizontally and opens away from the nearer screen edge: below an anchor in
// the upper half of `available`, above one in the lower half. The result
// always lies inside `available` when the window fits there.
QPoint trayWindowPosition(const QRect& anchor, const QSize& window, const QRect& available);

// Top-left corner of a popover beside `anchor` (the whole list, in global
// coordinates): to its right when there is room, else to its left, top edges
// aligned, then kept inside `available`.
QPoint popoverPosition(const QRect& anchor, const QSize& popover, const QRect& available);

}  // namespace lumaro::ui::placement
