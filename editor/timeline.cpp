#include "editor/timeline.h"

#include "editor/view_coordinates.h"

namespace editor {

TTimeline TimelineOf(const songData::TSong& song, double musicDuration) {
  TTimeline timeline;
  timeline.Start = song.MusicOffset >= 0 ? -2.0 : song.MusicOffset - 1.0;
  timeline.Length = song.MusicLoaded ? musicDuration + 10 : 100.0;
  timeline.ScrollMin = Nearest((timeline.Start - 1.5) * 10);
  timeline.ScrollMax = Nearest((timeline.Start + timeline.Length + 5) * 10);
  return timeline;
}

void ApplyTimeline(TViewState& view, const TTimeline& timeline) {
  view.ScrollMin = timeline.ScrollMin;
  view.ScrollMax = timeline.ScrollMax;
  SetScrollPosition(view, view.ScrollPosition);
}

} // namespace editor
