#include "editor/view_coordinates.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace editor {
namespace {

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// A zero height would divide by zero before the first redraw of a tiny view.
std::int32_t RowHeightOf(const TViewState& view) {
  return std::max(1, view.RowHeight);
}

} // namespace

std::int32_t Nearest(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int32_t>(
      std::clamp(std::nearbyint(value), double(INT32_MIN), double(INT32_MAX)));
}

std::int32_t BeatToX(const TViewState& view, double beat) {
  return Nearest(beat * view.PixelsPerBeat - view.ViewOffset);
}

std::int32_t SecondsToX(const TViewState& view, double seconds) {
  return Nearest(std::nearbyint(seconds * view.PixelsPerSecond) - view.ViewOffset);
}

double XToSeconds(const TViewState& view, std::int32_t x) {
  return (double(x) + view.ViewOffset) / view.PixelsPerSecond;
}

std::int32_t XToBeat(const TViewState& view, std::int32_t x) {
  return Nearest((double(x) + view.ViewOffset) / view.PixelsPerBeat);
}

std::int32_t YToRow(const TViewState& view, std::int32_t y) {
  return Saturate((std::int64_t(y) - view.GridTop) / RowHeightOf(view));
}

std::int32_t RowTone(std::int32_t row) {
  return Saturate(std::int64_t(TopRowTone) - row);
}

std::int32_t YToPitch(const TViewState& view, std::int32_t y, std::int32_t transpose) {
  return Saturate(std::int64_t(TopRowTone) - YToRow(view, y) - transpose);
}

std::int32_t NoteRowTop(const TViewState& view, std::int32_t pitch, std::int32_t transpose) {
  const std::int64_t row = std::int64_t(TopRowTone) - (std::int64_t(pitch) + transpose);
  return Saturate(row * RowHeightOf(view) + view.GridTop);
}

std::string_view ToneName(std::int32_t tone) {
  static constexpr std::array<std::string_view, 12> Names = {"C",  "C#", "D",  "D#", "E",  "F",
                                                             "F#", "G",  "G#", "A",  "A#", "B"};
  // Tone value -36 is a C like 0; the remainder is taken non-negative.
  return Names[static_cast<std::size_t>(((std::int64_t(tone) + 36) % 12 + 12) % 12)];
}

void ApplyBeatScale(TViewState& view, double bpm) {
  const songData::TBeatScale scale = songData::BeatScaleOf(bpm);
  view.PixelsPerBeat = scale.PixelsPerBeat;
  view.PixelsPerSecond = scale.PixelsPerSecond;
}

void ApplyTimeline(TViewState& view, const songData::TTimeline& timeline) {
  view.ScrollMin = timeline.ScrollMin;
  view.ScrollMax = timeline.ScrollMax;
  SetScrollPosition(view, view.ScrollPosition);
}

} // namespace editor
