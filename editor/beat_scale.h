#pragma once
// The width of a beat on screen at 100 %: it follows from the tempo, so that a
// slow song's beats are wider than a fast one's.
#include <cstdint>

namespace editor {

struct TBeatScale {
  std::int32_t PixelsPerBeat;
  double PixelsPerSecond;
};

TBeatScale BeatScaleOf(double bpm);

} // namespace editor
