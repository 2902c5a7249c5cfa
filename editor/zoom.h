#pragma once
// The horizontal mapping of the note view: song time and beats to x and back at
// one zoom factor and scroll position. x = 0 is the view's left edge.
#include "editor/beat_scale.h"

#include <cstdint>

namespace editor {

class TZoom {
public:
  static constexpr double Least = 0.25;
  static constexpr double Most = 8.0;

  // scrollPosition is the song time at the left edge in tenths of a second;
  // the factor is kept within Least and Most.
  TZoom(TBeatScale scale, double factor, double scrollPosition);

  double Factor() const { return factor_; }
  double ScrollPosition() const { return scrollPosition_; }
  double PixelsPerBeat() const { return pixelsPerBeat_; }
  double PixelsPerSecond() const { return pixelsPerSecond_; }
  // Song time 0 lies at x = -Offset(); whole pixels, so that lines do not
  // shimmer between redraws at the same scroll position.
  std::int32_t Offset() const { return offset_; }

  // Rounded to whole pixels of song time first, as the cursor always was.
  double TimeToPosition(double seconds) const;
  double PositionToTime(double x) const;
  double BeatToPosition(double beat) const;
  double PositionToBeat(double x) const;

  // Multiplies the factor by ratio within the limits; the song time at x stays at x.
  void ZoomBy(double ratio, double x);
  void ZoomTo(double factor, double x);

private:
  void Place(double factor, double scrollPosition);

  TBeatScale scale_;
  double factor_ = 1.0;
  double scrollPosition_ = 0.0;
  double pixelsPerBeat_ = 0.0;
  double pixelsPerSecond_ = 0.0;
  std::int32_t offset_ = 0;
};

// One notch of the wheel (120) zooms by the square root of two.
double WheelZoomRatio(int angleDelta);
// The factor steps from a factor along the powers of the square root of two,
// so that the keys reach 25 %, 50 %, 100 %, 200 % and 800 % exactly.
double ZoomStep(double factor, int steps);

} // namespace editor
