#pragma once
// Where everything of the note view lies, computed afresh from the view state
// and the view's size: drawing, hit testing and the mouse all read it, and
// nothing of it is kept.
#include "editor/view_state.h"
#include "editor/zoom.h"

#include <cstdint>

namespace editor {

constexpr double LeastRowZoom = 0.5;
constexpr double MostRowZoom = 4.0;

struct TViewLayout {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  TZoom Horizontal{TBeatScale{15, 125.0}, 1.0, 0.0};
  // The rows of the grid: row 0, at GridTop, shows TopTone; the grid's pixels
  // run from GridTop up to but not including GridBottom.
  std::int32_t RowHeight = 1;
  std::int32_t RowCount = 0;
  std::int32_t TopTone = TopRowTone;
  std::int32_t GridTop = 10;
  std::int32_t GridBottom = 11;
  // The song time the view shows, in seconds, and its width in tenths of a
  // second for the scroll bar's page.
  double FirstSecond = 0.0;
  double LastSecond = 0.0;
  std::int32_t ScrollPage = 1;
};

TViewLayout LayoutOf(const TViewState& view, int width, int height);

} // namespace editor
