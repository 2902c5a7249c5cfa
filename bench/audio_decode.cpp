// DecodeMp3 of a 4-minute 128 kbit/s stereo MP3 against libmpg123's own
// command-line decoder on the same file; "ratio" is ours over theirs.
#include "audio/mp3_loader.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// A few changing chords with a little noise, so the encoder has real work.
std::string MakeSong() {
  static std::string path;
  if (!path.empty()) return path;
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "chorvanta-bench";
  std::filesystem::create_directories(folder);
  path = (folder / "four-minutes.mp3").string();
  if (std::filesystem::exists(path)) return path;
  const int rate = 44100, frames = rate * 240;
  std::vector<std::int16_t> samples(2 * static_cast<std::size_t>(frames));
  std::uint32_t noise = 1;
  for (int i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    const double root = 220.0 * std::pow(2.0, ((i / (rate / 2)) % 12) / 12.0);
    double value = 0.0;
    for (double ratio : {1.0, 1.25, 1.5, 2.0})
      value += std::sin(2 * M_PI * root * ratio * t);
    noise = noise * 1664525u + 1013904223u;
    const double hiss = (double(noise >> 16) / 65536.0 - 0.5) * 0.05;
    samples[2 * i] = static_cast<std::int16_t>(6000 * value + 8000 * hiss);
    samples[2 * i + 1] = static_cast<std::int16_t>(6000 * value * 0.8 - 8000 * hiss);
  }
  std::string raw = path + ".raw";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(samples.data()),
             static_cast<std::streamsize>(samples.size() * 2));
  std::string command =
      "lame --quiet -r --bitwidth 16 --signed --little-endian -s 44.1 -m j -b 128 '" + raw + "' '" +
      path + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) path.clear();
  std::filesystem::remove(raw);
  return path;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_DecodeMp3VsMpg123(benchmark::State& state) {
  const std::string path = MakeSong();
  if (path.empty()) {
    state.SkipWithError("lame could not make the test file");
    return;
  }
  const std::string command = "mpg123 -q -s '" + path + "' > /dev/null";
  double ours = 0.0, theirs = 0.0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    songData::TPcmMusic music;
    MP3Loader::DecodeMp3(path, nullptr, music);
    benchmark::DoNotOptimize(music.Samples.data());
    auto middle = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("mpg123 failed");
    auto end = std::chrono::steady_clock::now();
    ours += Seconds(middle - start);
    theirs += Seconds(end - middle);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["DecodeMp3_s"] = ours / n;
  state.counters["mpg123_s"] = theirs / n;
  state.counters["ratio"] = ours / theirs;
}
BENCHMARK(BM_DecodeMp3VsMpg123)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
