#pragma once
// The tempo and the first beat of decoded music, for a song's #BPM and #GAP.
// Pure computation: runs on any thread, each call with its own state.
#include "audio/pcm_music.h"

#include <functional>
#include <optional>
#include <vector>

namespace tempo {

struct TTempoEstimate {
  double Bpm = 0.0;   // quarter notes per minute
  double GapMs = 0.0; // from the music's start to the first beat after any leading silence
  // 0 to 1: how many tracked beats sit on the grid and how much of the grid has a beat.
  double Confidence = 0.0;
  // Exactly half and/or double Bpm when the music could be counted that way.
  std::vector<double> Alternatives;
};

// Tracks the beats of the music and fits a steady grid to them. progress receives
// the fraction done (0 to 1); when it returns false the detection stops and the
// result is std::nullopt. Throws MyServis::EError when the music has no steady
// beat (silence, a held tone) or is too short to find one.
std::optional<TTempoEstimate> DetectTempo(const songData::TPcmMusic& music,
                                          const std::function<bool(float)>& progress = {});

} // namespace tempo
