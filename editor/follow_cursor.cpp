#include "editor/follow_cursor.h"

#include "editor/view_coordinates.h"

#include <cmath>

namespace editor {

void FollowCursor(TViewState& view, int viewWidth, bool jumpIfLeft, bool centre) {
  const TViewLayout layout = LayoutOf(view, viewWidth, 0);
  const std::int32_t cx = SecondsToX(layout, view.CursorTime);
  if (Nearest(0.8 * viewWidth) < cx && cx < Nearest(0.9 * viewWidth)) {
    // Six tenths of the visible width.
    const double jump = std::nearbyint(6.0 * viewWidth / layout.Horizontal.PixelsPerSecond());
    SetScrollPosition(view, Nearest(view.ScrollPosition + jump));
  }
  if (jumpIfLeft && !centre && cx < 0) SetScrollPosition(view, Nearest(view.CursorTime * 10));
  // Two seconds of what led up to the cursor stay in sight.
  if (centre) SetScrollPosition(view, Nearest(std::nearbyint(view.CursorTime * 10) - 20));
}

} // namespace editor
