#pragma once
// Keeps the play cursor in sight by moving the scroll position. The caller sets
// CursorTime first and redraws afterwards.
#include "editor/view_state.h"

namespace editor {

// Jumps ahead when the cursor reaches 80 to 90 % of the view's width; with
// jumpIfLeft, jumps to a cursor left of the view; with centre, puts the cursor
// two seconds from the left edge. Works at any zoom.
void FollowCursor(TViewState& view, int viewWidth, bool jumpIfLeft, bool centre);

} // namespace editor
