// Slowed playback: how soon the first music is heard after Play at half speed,
// and what stretching costs one core per second of playback.
#include "audio/capture_output.h"
#include "audio/player.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <random>

namespace {

constexpr int BufferFrames = 2205;

// Four minutes of stereo chords over noise.
const std::shared_ptr<const songData::TPcmMusic>& Music() {
  static const auto music = [] {
    songData::TPcmMusic m;
    m.SampleRate = 44100;
    m.Stereo = true;
    const int frames = 240 * 44100;
    m.Samples.resize(2 * std::size_t(frames));
    const double chords[3][3] = {
        {220, 277.18, 329.63}, {196, 246.94, 293.66}, {174.61, 220, 261.63}};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-1500, 1500);
    for (int i = 0; i < frames; ++i) {
      const double t = double(i) / 44100;
      const double* chord = chords[(i / 88200) % 3];
      double v = 0;
      for (int k = 0; k < 3; ++k)
        v += 5000 * std::sin(2 * M_PI * chord[k] * t);
      m.Samples[2 * std::size_t(i)] = static_cast<std::int16_t>(std::lround(v) + noise(random));
      m.Samples[2 * std::size_t(i) + 1] =
          static_cast<std::int16_t>(std::lround(0.8 * v) + noise(random));
    }
    return std::make_shared<const songData::TPcmMusic>(std::move(m));
  }();
  return music;
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

bool HasMusic(const player::TCaptureOutput& capture) {
  const std::vector<std::int16_t> samples = capture.Samples();
  double sum = 0;
  for (std::size_t i = samples.size() - 2 * BufferFrames; i < samples.size(); ++i)
    sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / (2 * BufferFrames)) > 500;
}

// From Play at half speed to the first buffer with music. Cold: the first slowed
// play of a player, which makes its stretcher; warm: a later play.
void BM_SlowedStartup(benchmark::State& state) {
  const bool cold = state.range(0) == 1;
  const std::shared_ptr<const songData::TPcmMusic>& music = Music();
  player::TPlayer mixer;
  player::PreparePlayer(mixer, BufferFrames);
  player::SetMusicVolume(mixer, 100);
  mixer.MusicVolume = 4096;
  player::TCaptureOutput capture;
  capture.Open(BufferFrames);
  double wall = 0, silent = 0;
  for (auto _ : state) {
    std::unique_ptr<player::TPlayer> fresh;
    player::TPlayer* p = &mixer;
    if (cold) {
      fresh = std::make_unique<player::TPlayer>();
      p = fresh.get();
      player::PreparePlayer(*p, BufferFrames);
      p->MusicVolume = p->MusicVolumeTarget = 4096;
    }
    const auto start = std::chrono::steady_clock::now();
    player::SetPlaybackSpeed(*p, 0.5);
    player::PlayMusic(*p, music, 30.0f);
    int buffers = 0;
    do {
      player::FillBuffer(*p, capture);
      ++buffers;
    } while (!HasMusic(capture) && buffers < 100);
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    silent += buffers - 1;
    player::StopMusic(*p);
    capture.Truncate(0);
  }
  const double n = double(state.iterations());
  state.counters["first_buffer_s"] = wall / n;
  state.counters["silent_buffers"] = silent / n;
  state.counters["startup_s"] = (wall + silent * BufferFrames / 44100.0) / n;
}
BENCHMARK(BM_SlowedStartup)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The mixing thread's CPU time per second of output over a minute of playback,
// at full speed and slowed.
void BM_PlaybackCpu(benchmark::State& state) {
  const double speed = double(state.range(0)) / 100;
  const std::shared_ptr<const songData::TPcmMusic>& music = Music();
  constexpr int Buffers = 60 * 44100 / BufferFrames;
  double cpu = 0;
  for (auto _ : state) {
    player::TPlayer mixer;
    player::PreparePlayer(mixer, BufferFrames);
    player::SetMusicVolume(mixer, 80);
    player::SetPlaybackSpeed(mixer, speed);
    player::PlayMusic(mixer, music, 10.0f);
    std::unique_ptr<player::TAudioOutput> output = player::MakeNullOutput();
    const double before = ThreadCpuSeconds();
    for (int i = 0; i < Buffers; ++i)
      player::FillBuffer(mixer, *output);
    cpu += ThreadCpuSeconds() - before;
    player::StopMusic(mixer);
  }
  state.counters["cpu_share"] = cpu / double(state.iterations()) / 60.0;
}
BENCHMARK(BM_PlaybackCpu)->Arg(100)->Arg(75)->Arg(50)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
