#pragma once
// Synthetic singing with known answers: harmonic tones with vibrato, a breathy
// noise floor and a burst of consonant noise at each note's start.
#include "audio/pcm_music.h"

#include <cstdint>
#include <vector>

namespace audiotest {

struct TSungFixtureNote {
  double Start = 0.0; // seconds
  double End = 0.0;
  std::int32_t Tone = 0; // semitones above C4
};

// `count` notes of 0.3 to 0.6 s, 0.1 s apart from 1 s on, at tones from -12 to
// 12, chosen by the seed.
std::vector<TSungFixtureNote> SungMelody(int count, unsigned seed);

// The melody sung, as mono float samples at `rate`, lasting one second past the
// last note.
std::vector<float> SingMelody(const std::vector<TSungFixtureNote>& melody, int rate, unsigned seed);

// Chords of four tones with their harmonics, a new one every two seconds, with
// their RMS `decibels` relative to full-scale sine. Added to samples.
void AddChords(std::vector<float>& samples, int rate, double decibels, unsigned seed);

// Mono 16-bit music of float samples (clipped).
songData::TPcmMusic MusicOfSamples(const std::vector<float>& samples, int rate);

// RMS of samples in decibels relative to a full-scale sine.
double LevelDb(const std::vector<float>& samples);

} // namespace audiotest
