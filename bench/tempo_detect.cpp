// Tempo detection over a 4-minute stereo 44.1 kHz drum pattern: kick on every
// beat, snare on 2 and 4, hi-hat on the eighths, a little noise, at 128 BPM
// from 0.25 s. A wrong answer fails the run rather than timing it.
#include "audio/tempo_detector.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

namespace {

constexpr int Rate = 44100;
constexpr double Bpm = 128.0, FirstBeat = 0.25, Seconds = 240.0;

template <typename TWave>
void AddHit(std::vector<float>& out, double at, double length, TWave wave) {
  const auto start = static_cast<std::size_t>(std::ceil(at * Rate));
  for (std::size_t i = start; i < out.size() && i < start + length * Rate; ++i)
    out[i] += static_cast<float>(wave((static_cast<double>(i) - at * Rate) / Rate));
}

const songData::TPcmMusic& Drums() {
  static const songData::TPcmMusic music = [] {
    std::vector<float> mono(static_cast<std::size_t>(Seconds * Rate), 0.0f);
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    const double period = 60.0 / Bpm;
    for (int beat = 0; FirstBeat + beat * period < Seconds; ++beat) {
      const double at = FirstBeat + beat * period;
      AddHit(mono, at, 0.3, [](double t) {
        return 0.6 * std::exp(-t / 0.08) *
               std::sin(2 * M_PI * (50 * t + 3 * (1 - std::exp(-t / 0.03))));
      });
      if (beat % 2 == 1)
        AddHit(mono, at, 0.2, [&](double t) {
          return std::exp(-t / 0.05) * (0.25 * noise(random) + 0.15 * std::sin(2 * M_PI * 190 * t));
        });
      for (double eighth : {at, at + period / 2})
        AddHit(mono, eighth, 0.06,
               [&](double t) { return 0.08 * std::exp(-t / 0.015) * noise(random); });
    }
    songData::TPcmMusic m;
    m.SampleRate = Rate;
    m.Stereo = true;
    m.Samples.reserve(2 * mono.size());
    for (float v : mono) {
      const auto sample = static_cast<std::int16_t>(
          std::lround(std::clamp(v + 0.003 * noise(random), -1.0, 1.0) * 32000));
      m.Samples.push_back(sample);
      m.Samples.push_back(sample);
    }
    return m;
  }();
  return music;
}

void BM_DetectTempoFourMinutes(benchmark::State& state) {
  const songData::TPcmMusic& music = Drums();
  std::optional<tempo::TTempoEstimate> found;
  for (auto _ : state)
    found = tempo::DetectTempo(music);
  if (!found || std::abs(found->Bpm - Bpm) > 0.005 * Bpm ||
      std::abs(found->GapMs - FirstBeat * 1000) > 15) {
    state.SkipWithError("the tempo or the first beat is wrong");
    return;
  }
  state.counters["bpm"] = found->Bpm;
  state.counters["gap_ms"] = found->GapMs;
  state.counters["confidence"] = found->Confidence;
}
BENCHMARK(BM_DetectTempoFourMinutes)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
