// Loading and saving a control file of 10 000 keys in 100 sections, in the
// text and in the binary form.
#include "support/control_files.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace ControlFiles2;

namespace {

// 100 keys of every kind in each of 100 sections.
std::string TextFile() {
  std::string text = "# benchmark settings\r\n";
  for (int s = 0; s < 100; ++s) {
    text += "$Section Section" + std::to_string(s) + "\r\n";
    for (int k = 0; k < 100; ++k) {
      std::string name = "  Key" + std::to_string(k) + " ";
      switch (k % 5) {
      case 0:
        text += name + std::to_string(k * 1000 + s);
        break;
      case 1:
        text += name + std::to_string(k) + ".25";
        break;
      case 2:
        text += name + "\"/songs/Artist " + std::to_string(k) + " - Title.txt\"";
        break;
      case 3:
        text += name + (k % 2 ? "ON" : "OFF");
        break;
      default:
        text += name + "(one, two, \"three four\")";
        break;
      }
      text += "\r\n";
    }
    text += "$EndOfSection\r\n";
  }
  return text;
}

struct TBenchFiles {
  TBenchFiles() {
    char pattern[] = "/tmp/ctl_bench_XXXXXX";
    Folder = ::mkdtemp(pattern);
    Text = Folder + "/text.ctl";
    Binary = Folder + "/binary.ctl";
    std::ofstream(Text, std::ios::binary) << TextFile();
    std::ofstream(Binary, std::ios::binary) << TextFile();
    TControlFile file(Binary, "");
    MyServis::TNamedLockGuard guard(State().ControlFilesLock);
    SaveControlFile(file.Handle, smBinary);
  }
  ~TBenchFiles() { std::filesystem::remove_all(Folder); }
  std::string Folder, Text, Binary;
};

TBenchFiles& Files() {
  static TBenchFiles files;
  return files;
}

// Freeing the file between loads is left out of the time.
void Load(benchmark::State& state, const std::string& name) {
  for (auto _ : state) {
    auto file = std::make_unique<TControlFile>(name, "");
    state.PauseTiming();
    file.reset();
    state.ResumeTiming();
  }
}

void Release(benchmark::State& state, const std::string& name) {
  for (auto _ : state) {
    state.PauseTiming();
    auto file = std::make_unique<TControlFile>(name, "");
    state.ResumeTiming();
    file.reset();
  }
}

void Save(benchmark::State& state, const std::string& name) {
  TControlFile file(name, "");
  for (auto _ : state)
    file.Save();
}

void BM_LoadText(benchmark::State& state) {
  Load(state, Files().Text);
}
void BM_SaveText(benchmark::State& state) {
  Save(state, Files().Text);
}
void BM_ReleaseText(benchmark::State& state) {
  Release(state, Files().Text);
}
void BM_LoadBinary(benchmark::State& state) {
  Load(state, Files().Binary);
}
void BM_SaveBinary(benchmark::State& state) {
  Save(state, Files().Binary);
}

} // namespace

BENCHMARK(BM_LoadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReleaseText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBinary)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
