#include "ui/placement.hpp"

#include <algorithm>

namespace lumaro::ui::placement {
namespace {

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

}  // namespace

QPoint trayWindowPosition(const QRect& anchor, const QSize& window, const QRect& available) {
  const int x = anchor.center().x() - window.width() / 2;
  const bool anchorInLowerHalf = available.isValid() && anchor.center().y() > available.center().y();
  const int y = anchorInLowerHalf ? anchor.top() - kGap - window.height() : anchor.bottom() + 1 + kGap;
  return clampInto({x, y}, window, available);
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
