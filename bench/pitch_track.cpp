// The sung pitch of a 4-minute song, tracked as the window's worker does it
// once the music is loaded: the whole contour on one thread.
#include "audio/pitch_tracker.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>

namespace {

// Four minutes of stereo at 44.1 kHz: a voice with vibrato over chords and noise.
const songData::TPcmMusic& Song() {
  static const songData::TPcmMusic music = [] {
    songData::TPcmMusic m;
    m.SampleRate = 44100;
    m.Stereo = true;
    const int frames = 44100 * 240;
    m.Samples.resize(2 * static_cast<std::size_t>(frames));
    std::uint32_t noise = 1;
    double phase = 0.0;
    for (int i = 0; i < frames; ++i) {
      const double t = double(i) / 44100;
      const double tone = double((i / 22050) % 24 - 12) + 0.3 * std::sin(2 * M_PI * 5.5 * t);
      phase += 2 * M_PI * 261.63 * std::pow(2.0, tone / 12.0) / 44100;
      double voice = 0.0;
      for (int k = 1; k <= 6; ++k)
        voice += std::sin(k * phase) / k;
      const double chord = std::sin(2 * M_PI * 110 * t) + std::sin(2 * M_PI * 138.6 * t);
      noise = noise * 1664525u + 1013904223u;
      const double hiss = double(noise >> 16) / 65536.0 - 0.5;
      const auto v = static_cast<std::int16_t>(7000 * voice + 1500 * chord + 500 * hiss);
      m.Samples[2 * std::size_t(i)] = m.Samples[2 * std::size_t(i) + 1] = v;
    }
    return m;
  }();
  return music;
}

void BM_TrackPitchOfFourMinutes(benchmark::State& state) {
  const songData::TPcmMusic& music = Song();
  for (auto _ : state) {
    auto contour = pitch::TrackPitch(music);
    benchmark::DoNotOptimize(contour->Points.data());
  }
}
BENCHMARK(BM_TrackPitchOfFourMinutes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
