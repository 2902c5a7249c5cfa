#include "editor/beat_scale.h"

#include "editor/view_coordinates.h"

namespace editor {

TBeatScale BeatScaleOf(double bpm) {
  TBeatScale scale;
  scale.PixelsPerBeat = Nearest(1080 / bpm + 6);
  scale.PixelsPerSecond = scale.PixelsPerBeat * bpm * 4 / 60;
  return scale;
}

} // namespace editor
