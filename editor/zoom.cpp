#include "editor/zoom.h"

#include "editor/view_coordinates.h"

#include <algorithm>
#include <cmath>

namespace editor {

TZoom::TZoom(TBeatScale scale, double factor, double scrollPosition) : scale_(scale) {
  Place(factor, scrollPosition);
}

void TZoom::Place(double factor, double scrollPosition) {
  factor_ = std::isfinite(factor) ? std::clamp(factor, Least, Most) : 1.0;
  scrollPosition_ = scrollPosition;
  // At 100 % the integer scale of the tempo, so every pixel is as it always was.
  pixelsPerBeat_ = scale_.PixelsPerBeat * factor_;
  pixelsPerSecond_ = scale_.PixelsPerSecond * factor_;
  offset_ = Nearest(scrollPosition_ * pixelsPerSecond_ / 10);
}

double TZoom::TimeToPosition(double seconds) const {
  return std::nearbyint(seconds * pixelsPerSecond_) - offset_;
}

double TZoom::PositionToTime(double x) const {
  return (x + offset_) / pixelsPerSecond_;
}

double TZoom::BeatToPosition(double beat) const {
  return beat * pixelsPerBeat_ - offset_;
}

double TZoom::PositionToBeat(double x) const {
  return (x + offset_) / pixelsPerBeat_;
}

void TZoom::ZoomBy(double ratio, double x) {
  ZoomTo(factor_ * ratio, x);
}

void TZoom::ZoomTo(double factor, double x) {
  const double seconds = PositionToTime(x);
  const double clamped = std::isfinite(factor) ? std::clamp(factor, Least, Most) : factor_;
  const double pixelsPerSecond = scale_.PixelsPerSecond * clamped;
  // A scale without width (a tempo of 0) keeps its place.
  if (!std::isfinite(seconds) || !(pixelsPerSecond > 0)) {
    Place(clamped, scrollPosition_);
    return;
  }
  Place(clamped, (seconds - x / pixelsPerSecond) * 10);
}

double WheelZoomRatio(int angleDelta) {
  return std::exp2(angleDelta / 240.0);
}

double ZoomStep(double factor, int steps) {
  const double halves = std::isfinite(factor) && factor > 0 ? std::round(2 * std::log2(factor)) : 0;
  return std::clamp(std::exp2((halves + steps) / 2), TZoom::Least, TZoom::Most);
}

} // namespace editor
