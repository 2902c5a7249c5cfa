// The analyser over a 4-minute stereo 44.1 kHz song: the three threads with
// the bins as vector lanes against the one-bin-at-a-time loop, whose pixels
// the lanes must match bit for bit.
#include "audio/analyser.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>

namespace {

const std::shared_ptr<const songData::TPcmMusic>& Song() {
  static const auto music = [] {
    songData::TPcmMusic m;
    m.SampleRate = 44100;
    m.Stereo = true;
    const int frames = 44100 * 240;
    m.Samples.resize(2 * static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
      const double t = i / 44100.0;
      const double f = 196.0 * std::pow(2.0, ((i / 11025) % 24) / 12.0);
      const double v = std::sin(2 * M_PI * f * t) + 0.5 * std::sin(2 * M_PI * 1.5 * f * t);
      m.Samples[2 * i] = static_cast<std::int16_t>(14000 * v);
      m.Samples[2 * i + 1] = static_cast<std::int16_t>(12000 * v);
    }
    return std::make_shared<const songData::TPcmMusic>(std::move(m));
  }();
  return music;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_AnalyserVsOneBinLoop(benchmark::State& state) {
  const std::shared_ptr<const songData::TPcmMusic>& music = Song();
  EventMan::TEventManager events;
  analyser::TAnalyser lanes;
  double threaded = 0.0;
  for (auto _ : state) {
    analyser::CreateSpectrumStrips(lanes, *music);
    auto start = std::chrono::steady_clock::now();
    analyser::StartAnalysers(lanes, music, events);
    analyser::WaitForAnalysers(lanes);
    threaded += Seconds(std::chrono::steady_clock::now() - start);
  }
  threaded /= static_cast<double>(state.iterations());

  analyser::TAnalyser reference;
  analyser::CreateSpectrumStrips(reference, *music);
  auto start = std::chrono::steady_clock::now();
  analyser::AnalyseOneBinAtATime(*music, reference.SpectrumStrips);
  const double oneBin = Seconds(std::chrono::steady_clock::now() - start);

  for (std::size_t s = 0; s < reference.SpectrumStrips.size(); ++s)
    if (reference.SpectrumStrips[s].Pixels != lanes.SpectrumStrips[s].Pixels) {
      state.SkipWithError("the lanes' pixels differ from the one-bin loop's");
      return;
    }
  state.counters["threads_s"] = threaded;
  state.counters["one_bin_loop_s"] = oneBin;
  state.counters["speedup"] = oneBin / threaded;
}
BENCHMARK(BM_AnalyserVsOneBinLoop)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
