#include "audio/pitch_suggestion.h"

#include "song/time_scale.h"

#include <algorithm>
#include <cmath>

namespace pitch {

TSungNote SungNote(const TPitchContour& contour, const songData::TSong& song,
                   const songData::TNote& note) {
  TSungNote sung;
  if (!note.IsSyllable() || note.Length <= 0 || contour.BlockSeconds <= 0.0) return sung;
  const double start =
      songData::MusicTimeOf(song.MusicOffset, songData::SongTimeOfBeat(song.BPM, note.Start));
  const double end = songData::MusicTimeOf(
      song.MusicOffset, songData::SongTimeOfBeat(song.BPM, double(note.Start) + note.Length));
  // The blocks whose centres lie within the note.
  const double first = std::ceil(start / contour.BlockSeconds - 0.5);
  const double last = std::ceil(end / contour.BlockSeconds - 0.5) - 1.0;
  if (!(last >= first)) return sung;
  std::vector<double> tones;
  const double span = last - first + 1.0;
  const double lo = std::max(first, 0.0);
  const double hi = std::min(last, double(contour.Points.size()) - 1.0);
  for (double b = lo; b <= hi; b += 1.0) {
    const TPitchPoint& point = contour.Points[static_cast<std::size_t>(b)];
    if (point.Confident()) tones.push_back(ToneOfFrequency(point.Hz));
  }
  sung.Confidence = static_cast<float>(double(tones.size()) / span);
  if (tones.empty() || 2.0 * double(tones.size()) < span) return sung;
  const auto middle = tones.begin() + static_cast<std::ptrdiff_t>(tones.size() / 2);
  std::nth_element(tones.begin(), middle, tones.end());
  sung.Tone = *middle;
  if (tones.size() % 2 == 0) sung.Tone = (sung.Tone + *std::max_element(tones.begin(), middle)) / 2;
  // The sung tone on the note's own scale, then the octave nearest the note.
  const double pitch = std::nearbyint(sung.Tone) - song.Transpose;
  const double octaves = std::nearbyint((double(note.Pitch) - pitch) / 12.0);
  const double suggested = pitch + 12.0 * octaves;
  if (std::fabs(suggested) < 1e6) sung.Suggested = static_cast<std::int32_t>(suggested);
  return sung;
}

int SnapToSungPitch(songData::TSong& song, const TPitchContour& contour, std::int64_t hovered) {
  const bool anySelected = std::any_of(song.Notes.begin(), song.Notes.end(),
                                       [](const songData::TNote& n) { return n.Selected; });
  int changed = 0;
  for (std::size_t i = 0; i < song.Notes.size(); ++i) {
    songData::TNote& note = song.Notes[i];
    const bool chosen = anySelected ? note.Selected : std::int64_t(i) == hovered;
    if (!chosen) continue;
    const TSungNote sung = SungNote(contour, song, note);
    if (!sung.Suggested || *sung.Suggested == note.Pitch) continue;
    note.Pitch = *sung.Suggested;
    ++changed;
  }
  return changed;
}

} // namespace pitch
