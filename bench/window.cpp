// The window's own figures: start-up until the window is shown and ready, a
// song with a 4-minute MP3 loaded until its spectrogram is complete, and the
// lyrics memo rebuilt for 5000 syllables, editing with the mouse, and a paste of
// 200 000 notes.
#include "app/about_box.h"
#include "app/image_widget.h"
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "app/tag_form.h"
#include "audio/audio_output.h"
#include "editor/view_coordinates.h"
#include "song/note_clipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
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
    app::TEditorContext context{song,
                                history,
                                music,
                                player,
                                analyser,
                                events,
                                folder.string(),
                                folder.string(),
                                [] { return player::MakeNullOutput(); },
                                ""};
    form = std::make_unique<app::TMainForm>(context);
    form->AttachDialogs(newSong, about, tags);
    form->Dialogs.ChooseSongFile = [](const QString&) { return QString(); };
  }
  bool applicationFirst = (Application(), true); // widgets need it before they are made
  fs::path folder = Fixture();
  songData::TSong song;
  songData::TUndoHistory history;
  std::shared_ptr<const songData::TPcmMusic> music;
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

// The mouse over a song of 5000 notes: a move that changes the hover, and one
// whole-beat step of a body drag of 100 selected notes, each with its redraw.
struct TEditingWindow : TWindow {
  TEditingWindow() {
    Application();
    form->show();
    form->FormActivate();
    form->LoadSong((folder / "song.txt").string());
    analyser::WaitForAnalysers(analyser);
    QApplication::processEvents();
  }
  QPoint NoteMiddle(std::size_t i) {
    const songData::TNote& note = song.Notes[i];
    const editor::TViewLayout layout = form->Layout();
    return {editor::BeatToX(layout, note.Start + 1.5),
            editor::NoteRowTop(layout, note.Pitch, song.Transpose) + layout.RowHeight / 2};
  }
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, form->MainImg->mapToGlobal(at), button, held, {});
    QCoreApplication::sendEvent(form->MainImg, &event);
  }
};

void BM_HoverChange(benchmark::State& state) {
  TEditingWindow window;
  const QPoint on = window.NoteMiddle(2);
  const QPoint off = on + QPoint(0, 3 * window.form->Layout().RowHeight);
  bool over = false;
  for (auto _ : state) {
    over = !over;
    window.Mouse(QEvent::MouseMove, over ? on : off, Qt::NoButton, Qt::NoButton);
  }
  state.counters["notes"] = static_cast<double>(window.song.Notes.size());
}
BENCHMARK(BM_HoverChange)->Unit(benchmark::kMillisecond);

void BM_BodyDragStepOf100Selected(benchmark::State& state) {
  TEditingWindow window;
  for (std::size_t i = 0; i < 100; ++i)
    window.song.Notes[i * 40].Selected = true;
  const QPoint start = window.NoteMiddle(3);
  window.Mouse(QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
  window.Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  const int beat = static_cast<int>(window.form->Layout().Horizontal.PixelsPerBeat());
  int step = 0;
  for (auto _ : state) {
    step = step == 0 ? 1 : 0; // back and forth by one beat
    window.Mouse(QEvent::MouseMove, start + QPoint(step * beat, 0), Qt::NoButton, Qt::LeftButton);
  }
  window.Mouse(QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_BodyDragStepOf100Selected)->Unit(benchmark::kMillisecond);

// Ctrl+V of 200 000 notes (a line break after every eighth) from the clipboard
// into the 5000-note song: the paste, the undo step, the memo and the redraw.
void BM_Paste200000Notes(benchmark::State& state) {
  TEditingWindow window;
  songData::TSong block;
  for (int i = 0; i < 200000; ++i) {
    songData::TNote note;
    note.Kind = i % 9 == 8 ? songData::nkLineBreak : songData::nkNormal;
    note.Start = 4 * i;
    note.Length = note.Kind == songData::nkLineBreak ? 0 : 3;
    note.Pitch = i % 12;
    note.Text = "la";
    note.Selected = true;
    block.Notes.push_back(note);
  }
  const std::string bytes = songData::EncodeNoteBlock(block);
  auto* data = new QMimeData;
  data->setData("application/x-chorvantamaker",
                QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QApplication::clipboard()->setMimeData(data);
  for (auto _ : state) {
    state.PauseTiming();
    window.form->LoadSong((window.folder / "song.txt").string());
    analyser::WaitForAnalysers(window.analyser);
    window.form->View.CursorTime = 10;
    state.ResumeTiming();
    window.form->EditPaste1->trigger();
  }
  state.counters["notes"] = static_cast<double>(window.song.Notes.size());
}
BENCHMARK(BM_Paste200000Notes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
