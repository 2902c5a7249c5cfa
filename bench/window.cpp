// The window's own figures: start-up until the window is shown and ready, a
// song with a 4-minute MP3 loaded until its spectrogram is complete, and the
// lyrics memo rebuilt for 5000 syllables.
#include "app/about_box.h"
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "app/tag_form.h"
#include "audio/audio_output.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

QApplication& Application() {
  static int argc = 1;
  static char name[] = "bench_window";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *application;
}

// A folder with a song of `notes` syllables and, on request, a 4-minute MP3.
const fs::path& Fixture() {
  static const fs::path folder = [] {
    fs::path dir = fs::temp_directory_path() / "chorvanta_bench_window";
    fs::create_directories(dir);
    std::ofstream song(dir / "song.txt", std::ios::binary);
    song << "#MP3:song.mp3\r\n#BPM:300\r\n";
    for (int i = 0; i < 5000; ++i) {
      song << ": " << 4 * i << " 3 " << (i % 12) << " la" << i << "\r\n";
      if (i % 8 == 7) song << "- " << 4 * i + 3 << "\r\n";
    }
    song << "E\r\n";
    if (!fs::exists(dir / "song.mp3")) {
      std::ofstream raw(dir / "song.raw", std::ios::binary);
      for (int i = 0; i < 44100 * 240; ++i) {
        const double f = 220.0 * std::pow(2.0, ((i / 22050) % 12) / 12.0);
        const auto v = static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * f * i / 44100.0));
        raw.write(reinterpret_cast<const char*>(&v), 2);
        raw.write(reinterpret_cast<const char*>(&v), 2);
      }
      raw.close();
      const std::string command = "lame --quiet -r --bitwidth 16 --signed --little-endian -s "
                                  "44.1 -m j -b 128 '" +
                                  (dir / "song.raw").string() + "' '" +
                                  (dir / "song.mp3").string() + "'";
      if (std::system(command.c_str()) != 0) std::fprintf(stderr, "lame failed\n");
      fs::remove(dir / "song.raw");
    }
    return dir;
  }();
  return folder;
}

// A window on its own instances, as the program makes it.
struct TWindow {
  TWindow() {
    app::TEditorContext context{
        song,     history, music,           player,
        analyser, events,  folder.string(), [] { return player::MakeNullOutput(); }};
    form = std::make_unique<app::TMainForm>(context);
    form->AttachDialogs(newSong, about, tags);
    form->Dialogs.ChooseSongFile = [](const QString&) { return QString(); };
  }
  fs::path folder = Fixture();
  songData::TSong song;
  songData::TUndoHistory history;
  songData::TPcmMusic music;
  player::TPlayer player;
  analyser::TAnalyser analyser;
  EventMan::TEventManager events;
  app::TNewSongWnd newSong;
  app::TAboutBox about;
  app::TTagForm tags;
  std::unique_ptr<app::TMainForm> form;
};

void BM_StartupUntilShown(benchmark::State& state) {
  Application();
  for (auto _ : state) {
    TWindow window;
    window.form->show();
    window.form->FormActivate();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.form->Activated());
    state.PauseTiming();
    window.form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupUntilShown)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LoadSongWithMusicUntilSpectrogramDone(benchmark::State& state) {
  Application();
  TWindow window;
  window.form->show();
  window.form->FormActivate();
  for (auto _ : state) {
    window.form->LoadSong((window.folder / "song.txt").string());
    analyser::WaitForAnalysers(window.analyser);
  }
  state.counters["music_seconds"] = songData::MusicDuration(window.music);
}
BENCHMARK(BM_LoadSongWithMusicUntilSpectrogramDone)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RebuildLyrics5000(benchmark::State& state) {
  Application();
  TWindow window;
  window.form->show();
  window.form->FormActivate();
  window.form->LoadSong((window.folder / "song.txt").string());
  analyser::WaitForAnalysers(window.analyser);
  for (auto _ : state)
    window.form->RebuildLyrics();
  state.counters["syllables"] = 5000;
}
BENCHMARK(BM_RebuildLyrics5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
