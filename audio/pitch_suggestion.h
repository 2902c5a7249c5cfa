#pragma once
// What the contour says about each sung note: the pitch the singer sings there,
// in the octave the author chose.
#include "audio/pitch_tracker.h"
#include "song/song_model.h"

#include <cstdint>
#include <optional>

namespace pitch {

struct TSungNote {
  // The Pitch to give the note; none when under half of its span is sung.
  std::optional<std::int32_t> Suggested;
  // The share of the note's blocks that are sung, 0 .. 1.
  float Confidence = 0.0f;
  // The median sung tone value over the note, before rounding and octave moves.
  double Tone = 0.0;
};

// The contour's blocks are music time; the song's tempo and offset place the
// note on them, its transpose on the rows.
TSungNote SungNote(const TPitchContour& contour, const songData::TSong& song,
                   const songData::TNote& note);

// Sets every selected syllable note, or when none is selected the note at index
// hovered (-1: none), to its suggested pitch. Returns how many notes changed.
int SnapToSungPitch(songData::TSong& song, const TPitchContour& contour, std::int64_t hovered);

} // namespace pitch
