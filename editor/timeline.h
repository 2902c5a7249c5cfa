#pragma once
// The stretch of song time the view scrolls over: from before the song's zero
// point or the music's start to past the music's end.
#include "editor/view_state.h"
#include "song/song_model.h"

#include <cstdint>

namespace editor {

// The horizontal scroll range, in tenths of a second of song time.
struct TTimeline {
  double Start;  // seconds
  double Length; // seconds
  std::int32_t ScrollMin;
  std::int32_t ScrollMax;
};

TTimeline TimelineOf(const songData::TSong& song, double musicDuration);
// The scroll range of a timeline; the position is kept inside it.
void ApplyTimeline(TViewState& view, const TTimeline& timeline);

} // namespace editor
