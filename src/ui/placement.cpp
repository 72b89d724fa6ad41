#include "ui/placement.hpp"

#include <algorithm>

namespace lumaro::ui::placement {
namespace {

// An anchor this close to a left or right edge, and not to the top or the
// bottom, sits on a vertical panel.
constexpr int kSideEdgeReach = 48;

enum class Side { Above, Below, Left, Right };

// Moves [start, start + length) inside [low, high]; when it cannot fit, its
// start goes to `low` so the top-left part (title, first rows) stays visible.
int clampSpan(int start, int length, int low, int high) {
  const int highest = high - length + 1;
  if (highest < low) return low;
  return std::clamp(start, low, highest);
}

QPoint clampInto(QPoint topLeft, const QSize& size, const QRect& available) {
  if (!available.isValid()) return topLeft;
  return {clampSpan(topLeft.x(), size.width(), available.left(), available.right()),
          clampSpan(topLeft.y(), size.height(), available.top(), available.bottom())};
}

// The side of the anchor the window opens on: towards the work area when the
// anchor lies on a panel outside it, otherwise away from the nearest edge,
// preferring above or below (panels are mostly horizontal, and a cursor in a
// corner says nothing about the panel's direction).
Side openingSide(const QRect& anchor, const QRect& available) {
  if (!available.isValid()) return Side::Below;
  if (anchor.top() > available.bottom()) return Side::Above;
  if (anchor.bottom() < available.top()) return Side::Below;
  if (anchor.left() > available.right()) return Side::Left;
  if (anchor.right() < available.left()) return Side::Right;
  const QPoint centre = anchor.center();
  const int toTop = centre.y() - available.top();
  const int toBottom = available.bottom() - centre.y();
  const int toLeft = centre.x() - available.left();
  const int toRight = available.right() - centre.x();
  if (std::min(toTop, toBottom) > kSideEdgeReach && std::min(toLeft, toRight) <= kSideEdgeReach) {
    return toLeft <= toRight ? Side::Right : Side::Left;
  }
  return toBottom < toTop ? Side::Above : Side::Below;
}

}  // namespace

QPoint trayWindowPosition(const QRect& anchor, const QSize& window, const QRect& available) {
  const QPoint centre = anchor.center();
  QPoint at;
  switch (openingSide(anchor, available)) {
    case Side::Above:
      at = {centre.x() - window.width() / 2, anchor.top() - kGap - window.height()};
      break;
    case Side::Below:
      at = {centre.x() - window.width() / 2, anchor.bottom() + 1 + kGap};
      break;
    case Side::Left:
      at = {anchor.left() - kGap - window.width(), centre.y() - window.height() / 2};
      break;
    case Side::Right:
      at = {anchor.right() + 1 + kGap, centre.y() - window.height() / 2};
      break;
  }
  return clampInto(at, window, available);
}

QPoint popoverPosition(const QRect& anchor, const QSize& popover, const QRect& available) {
  const int right = anchor.right() + 1 + kGap;
  const int left = anchor.left() - kGap - popover.width();
  int x = right;
  if (available.isValid() && right + popover.width() - 1 > available.right() && left >= available.left()) {
    x = left;
  }
  return clampInto({x, anchor.top()}, popover, available);
}

}  // namespace lumaro::ui::placement
