#pragma once
// The sung pitch: the fundamental of the voice for every 1/32 s block of the
// music (the spectrogram's blocks), with how periodic the sound is at that pitch.
#include "audio/pcm_music.h"

#include <functional>
#include <optional>
#include <vector>

namespace pitch {

// Blocks at or above this confidence count as sung.
constexpr float ConfidentFrom = 0.5f;

struct TPitchPoint {
  float Hz = 0.0f;         // 0: no pitch
  float Confidence = 0.0f; // 0 .. 1
  bool Confident() const { return Hz > 0.0f && Confidence >= ConfidentFrom; }
};

// Point b describes the music around (b + 0.5) * BlockSeconds.
struct TPitchContour {
  std::vector<TPitchPoint> Points;
  double BlockSeconds = 1.0 / 32.0;
};

// Semitones above C4 (tone value 0, 261.63 Hz), fractional.
double ToneOfFrequency(double hz);

// Tracks the whole music on the calling thread. progress receives the fraction
// done now and then; when it returns false tracking stops and nothing is returned.
std::optional<TPitchContour> TrackPitch(const songData::TPcmMusic& music,
                                        const std::function<bool(float)>& progress = {});

} // namespace pitch
