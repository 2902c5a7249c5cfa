#include "editor/view_coordinates.h"

#include "editor/beat_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace editor {
namespace {

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int32_t RowTop(std::int32_t topTone, std::int32_t rowHeight, std::int32_t gridTop,
                    std::int32_t pitch, std::int32_t transpose) {
  const std::int64_t row = std::int64_t(topTone) - (std::int64_t(pitch) + transpose);
  // A zero height would divide by zero before the first redraw of a tiny view.
  return Saturate(row * std::max(1, rowHeight) + gridTop);
}

} // namespace

std::int32_t Nearest(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int32_t>(
      std::clamp(std::nearbyint(value), double(INT32_MIN), double(INT32_MAX)));
}

std::int32_t BeatToX(const TViewLayout& layout, double beat) {
  return Nearest(layout.Horizontal.BeatToPosition(beat));
}

std::int32_t SecondsToX(const TViewLayout& layout, double seconds) {
  return Nearest(layout.Horizontal.TimeToPosition(seconds));
}

double XToSeconds(const TViewLayout& layout, std::int32_t x) {
  return layout.Horizontal.PositionToTime(x);
}

std::int32_t XToBeat(const TViewLayout& layout, std::int32_t x) {
  return Nearest(layout.Horizontal.PositionToBeat(x));
}

std::int32_t YToRow(const TViewLayout& layout, std::int32_t y) {
  return Saturate((std::int64_t(y) - layout.GridTop) / std::max(1, layout.RowHeight));
}

std::int32_t RowTone(const TViewLayout& layout, std::int32_t row) {
  return Saturate(std::int64_t(layout.TopTone) - row);
}

std::int32_t YToPitch(const TViewLayout& layout, std::int32_t y, std::int32_t transpose) {
  return Saturate(std::int64_t(layout.TopTone) - YToRow(layout, y) - transpose);
}

std::int32_t NoteRowTop(const TViewLayout& layout, std::int32_t pitch, std::int32_t transpose) {
  return RowTop(layout.TopTone, layout.RowHeight, layout.GridTop, pitch, transpose);
}

double ToneY(const TViewLayout& layout, double tone) {
  return (layout.TopTone - tone) * layout.RowHeight + layout.GridTop + layout.RowHeight / 2.0;
}

bool OnGrid(const TViewLayout& layout, std::int32_t y) {
  return layout.GridTop <= y && y < layout.GridBottom;
}

std::string_view ToneName(std::int32_t tone) {
  static constexpr std::array<std::string_view, 12> Names = {"C",  "C#", "D",  "D#", "E",  "F",
                                                             "F#", "G",  "G#", "A",  "A#", "B"};
  // Tone value -36 is a C like 0; the remainder is taken non-negative.
  return Names[static_cast<std::size_t>(((std::int64_t(tone) + 36) % 12 + 12) % 12)];
}

void ApplyBeatScale(TViewState& view, double bpm) {
  const TBeatScale scale = BeatScaleOf(bpm);
  view.PixelsPerBeat = scale.PixelsPerBeat;
  view.PixelsPerSecond = scale.PixelsPerSecond;
}

} // namespace editor
