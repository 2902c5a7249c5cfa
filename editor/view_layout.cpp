#include "editor/view_layout.h"

#include "editor/view_coordinates.h"

#include <algorithm>
#include <cmath>

namespace editor {
namespace {

constexpr std::int32_t GridTop = 10;
// Rows of a view of any height leave this much room for the bands.
constexpr std::int32_t BandsHeight = 60;
constexpr std::int32_t RowsToFit = 35;

} // namespace

TViewLayout LayoutOf(const TViewState& view, int width, int height) {
  TViewLayout layout;
  layout.Width = std::max(0, width);
  layout.Height = std::max(0, height);
  layout.Horizontal =
      TZoom(TBeatScale{view.PixelsPerBeat, view.PixelsPerSecond}, view.Zoom, view.ScrollPosition);
  // At least one pixel, so that a view lower than the bands still maps y to rows.
  const std::int32_t fitted = std::max(1, (layout.Height - BandsHeight) / RowsToFit);
  const double rowZoom =
      std::isfinite(view.RowZoom) ? std::clamp(view.RowZoom, LeastRowZoom, MostRowZoom) : 1.0;
  layout.RowHeight = std::max(1, Nearest(fitted * rowZoom));
  layout.RowCount = std::max(0, (layout.Height - BandsHeight) / layout.RowHeight);
  layout.TopTone = view.TopTone;
  layout.GridTop = GridTop;
  layout.GridBottom = layout.RowHeight * layout.RowCount + layout.GridTop + 1;
  layout.FirstSecond = layout.Horizontal.PositionToTime(0);
  layout.LastSecond = layout.Horizontal.PositionToTime(layout.Width);
  layout.ScrollPage = Nearest(layout.Width * 10.0 / layout.Horizontal.PixelsPerSecond());
  return layout;
}

} // namespace editor
