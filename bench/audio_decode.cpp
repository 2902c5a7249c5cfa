// Decoding 4 minutes of stereo music against the reference command-line decoder
// on the same file: DecodeMp3 against mpg123, DecodeMusic of Ogg Vorbis, AAC and
// FLAC against ffmpeg. "ratio" is ours over theirs.
#include "audio/mp3_loader.h"
#include "audio/music_loader.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::filesystem::path Folder() {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "chorvanta-bench";
  std::filesystem::create_directories(folder);
  return folder;
}

// A few changing chords with a little noise, so the encoders have real work;
// raw 16-bit stereo at 44.1 kHz.
std::string MakeRaw() {
  static const std::string path = [] {
    const std::string raw = (Folder() / "four-minutes.raw").string();
    if (std::filesystem::exists(raw)) return raw;
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
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()),
               static_cast<std::streamsize>(samples.size() * 2));
    return raw;
  }();
  return path;
}

// The music encoded once into `name` by `encoder`, which reads RAW and writes OUT;
// empty when the encoder fails.
std::string Encoded(const std::string& name, const std::string& encoder) {
  const std::string path = (Folder() / name).string();
  if (std::filesystem::exists(path)) return path;
  std::string command = encoder;
  command.replace(command.find("RAW"), 3, "'" + MakeRaw() + "'");
  command.replace(command.find("OUT"), 3, "'" + path + "'");
  return std::system((command + " 2>/dev/null").c_str()) == 0 ? path : std::string();
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Times `decode` against the shell command `reference` in turns, so both see the
// same machine state.
template <typename Decode>
void Compare(benchmark::State& state, const std::string& path, const std::string& reference,
             Decode decode) {
  if (path.empty()) {
    state.SkipWithError("the encoder could not make the test file");
    return;
  }
  const std::string command = reference + " > /dev/null 2>&1";
  double ours = 0.0, theirs = 0.0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    songData::TPcmMusic music;
    decode(path, music);
    benchmark::DoNotOptimize(music.Samples.data());
    auto middle = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("the reference decoder failed");
    auto end = std::chrono::steady_clock::now();
    ours += Seconds(middle - start);
    theirs += Seconds(end - middle);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_s"] = ours / n;
  state.counters["reference_s"] = theirs / n;
  state.counters["ratio"] = ours / theirs;
}

void BM_DecodeMp3VsMpg123(benchmark::State& state) {
  const std::string path =
      Encoded("four-minutes.mp3", "lame --quiet -r --bitwidth 16 --signed --little-endian -s "
                                  "44.1 -m j -b 128 RAW OUT");
  Compare(state, path, "mpg123 -q -s '" + path + "'",
          [](const std::string& file, songData::TPcmMusic& music) {
            MP3Loader::DecodeMp3(file, {}, music);
          });
}
BENCHMARK(BM_DecodeMp3VsMpg123)->Unit(benchmark::kMillisecond)->Iterations(5);

// DecodeMusic against ffmpeg for a file made by ffmpeg with `codec`.
void BM_DecodeMusicVsFfmpeg(benchmark::State& state, const std::string& name,
                            const std::string& codec) {
  const std::string path =
      Encoded(name, "ffmpeg -nostdin -y -f s16le -ar 44100 -ac 2 -i RAW " + codec + " OUT");
  Compare(state, path, "ffmpeg -nostdin -i '" + path + "' -f s16le -y /dev/null",
          [](const std::string& file, songData::TPcmMusic& music) {
            MusicLoader::DecodeMusic(file, MusicLoader::TDecodeOptions{}, music);
          });
}
BENCHMARK_CAPTURE(BM_DecodeMusicVsFfmpeg, OggVorbis, "four-minutes.ogg", "-c:a libvorbis -q:a 4")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_DecodeMusicVsFfmpeg, Aac, "four-minutes.m4a", "-c:a aac -b:a 160k")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_DecodeMusicVsFfmpeg, Flac, "four-minutes.flac", "-c:a flac")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
