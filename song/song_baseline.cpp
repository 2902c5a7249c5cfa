#include "song/song_baseline.h"

#include "song/song_writer.h"

namespace songData {
namespace {

// Only what the song file is made of.
TSong SavedPartOf(const TSong& song) {
  TSong saved;
  saved.Notes = song.Notes;
  saved.BPM = song.BPM;
  saved.MusicOffset = song.MusicOffset;
  saved.VideoGap = song.VideoGap;
  saved.Tags = song.Tags;
  saved.UseBOM = song.UseBOM;
  return saved;
}

bool SameSavedPart(const TSong& a, const TSong& b) {
  return a.BPM == b.BPM && a.MusicOffset == b.MusicOffset && a.VideoGap == b.VideoGap &&
         a.UseBOM == b.UseBOM && a.Tags == b.Tags && a.Notes == b.Notes;
}

// The writer brings the header numbers in the tags up to date, so it gets a copy.
std::string FileTextOf(TSong saved) {
  return SongFileText(saved);
}

} // namespace

void TSongBaseline::Capture(const TSong& song) {
  lastSeen_ = SavedPartOf(song);
  savedText_ = FileTextOf(lastSeen_);
  lastDiffers_ = false;
}

bool TSongBaseline::Differs(const TSong& song) const {
  if (!SameSavedPart(song, lastSeen_)) {
    lastSeen_ = SavedPartOf(song);
    lastDiffers_ = FileTextOf(lastSeen_) != savedText_;
  }
  return lastDiffers_;
}

} // namespace songData
