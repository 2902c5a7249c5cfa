#pragma once
// Beats, song time and music time.

namespace songData {

// One beat lasts 60 / (BPM * 4) seconds: the grid is four times finer than the tempo.
double SongTimeOfBeat(double bpm, double beat);
// Position in the music file of a song time.
double MusicTimeOf(double musicOffset, double songTime);
// The file's "#GAP" of a MusicOffset, rounded half to even.
double GapMillisecondsOf(double musicOffset);

} // namespace songData
