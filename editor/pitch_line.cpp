#include "editor/pitch_line.h"

#include "editor/view_coordinates.h"

#include <algorithm>
#include <cmath>

namespace editor {
namespace {

// A larger step between neighbouring blocks is a new phrase, not a glide.
constexpr double LargestGlide = 1.5;

} // namespace

void DrawPitchLine(TCanvas& canvas, const songData::TSong& song, const TViewLayout& layout,
                   const pitch::TPitchContour& contour) {
  if (contour.Points.empty() || contour.BlockSeconds <= 0.0 ||
      !(layout.Horizontal.PixelsPerSecond() > 0.0))
    return;
  // Only the blocks on the view, and one either side so lines reach its edges.
  const double left = XToSeconds(layout, 0) - song.MusicOffset;
  const double right = XToSeconds(layout, canvas.Width()) - song.MusicOffset;
  const QRect grid(0, layout.GridTop, canvas.Width(), layout.GridBottom - layout.GridTop);
  const double count = double(contour.Points.size());
  const auto first =
      static_cast<std::size_t>(std::clamp(left / contour.BlockSeconds - 1.0, 0.0, count));
  const auto last =
      static_cast<std::size_t>(std::clamp(right / contour.BlockSeconds + 2.0, 0.0, count));
  std::vector<QPoint> segment;
  double lastTone = 0.0;
  const auto flush = [&] {
    canvas.Polyline(segment, PitchLineColour, PitchLineWidth, grid);
    segment.clear();
  };
  for (std::size_t b = first; b < last; ++b) {
    const pitch::TPitchPoint& point = contour.Points[b];
    if (!point.Confident()) {
      flush();
      continue;
    }
    const double tone = pitch::ToneOfFrequency(point.Hz);
    if (!segment.empty() && std::fabs(tone - lastTone) > LargestGlide) flush();
    lastTone = tone;
    const double seconds = (double(b) + 0.5) * contour.BlockSeconds + song.MusicOffset;
    const double y = std::clamp(ToneY(layout, tone), -10.0, canvas.Height() + 10.0);
    segment.emplace_back(SecondsToX(layout, seconds), static_cast<int>(std::lround(y)));
  }
  flush();
}

} // namespace editor
