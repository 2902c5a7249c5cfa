#include "song/song_baseline.h"

#include <algorithm>

namespace songData {
namespace {

bool SameSaved(const TNote& a, const TNote& b) {
  return a.Start == b.Start && a.Length == b.Length && a.Pitch == b.Pitch && a.Kind == b.Kind &&
         (a.Voice == SecondVoice) == (b.Voice == SecondVoice) && a.Text == b.Text;
}

} // namespace

void TSongBaseline::Capture(const TSong& song) {
  notes_ = song.Notes;
  bpm_ = song.BPM;
  musicOffset_ = song.MusicOffset;
  videoGap_ = song.VideoGap;
  tags_ = song.Tags;
}

bool TSongBaseline::Differs(const TSong& song) const {
  // The writer orders the notes itself, but every edit re-sorts them the same
  // way, so the order in memory is compared as it stands.
  return song.BPM != bpm_ || song.MusicOffset != musicOffset_ || song.VideoGap != videoGap_ ||
         song.Tags != tags_ ||
         !std::equal(song.Notes.begin(), song.Notes.end(), notes_.begin(), notes_.end(), SameSaved);
}

} // namespace songData
