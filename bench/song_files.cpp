// Reading and writing a song of 5000 notes, its recovery copy, and the model's bulk operations.
#include "song/recovery_file.h"
#include "song/song_model.h"
#include "song/song_reader.h"
#include "song/song_writer.h"
#include "support/file_io.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <unistd.h>

namespace {

using namespace songData;

TSong FiveThousandNotes() {
  TSong song;
  song.Tags = {"#TITLE:Benchmark", "#ARTIST:Chorvanta", "#MP3:music.mp3", "#BPM:300,5",
               "#GAP:1500"};
  for (int i = 0; i < 5000; ++i) {
    TNote note;
    note.Kind = i % 10 == 9 ? nkLineBreak : (i % 7 == 0 ? nkGolden : nkNormal);
    note.Start = i * 4;
    note.Length = note.Kind == nkLineBreak ? 0 : 3;
    note.Pitch = note.Kind == nkLineBreak ? 0 : 40 + i % 12;
    if (note.Kind != nkLineBreak) note.Text = "syl" + std::to_string(i);
    song.Notes.push_back(note);
  }
  return song;
}

struct TSongFile {
  TSongFile() {
    char pattern[] = "/tmp/chorvanta-bench-XXXXXX";
    Folder = ::mkdtemp(pattern);
    Song = FiveThousandNotes();
    Song.SongDir = Folder;
    Song.SongFileName = "song.txt";
    MyServis::WriteFileAtomically(Path(), SongFileText(Song));
  }
  ~TSongFile() { std::system(("rm -rf '" + Folder + "'").c_str()); }
  std::string Path() const { return Folder + "/song.txt"; }
  std::string Folder;
  TSong Song;
};

void ReadSong5000(benchmark::State& state) {
  TSongFile file;
  for (auto _ : state) {
    TSongFileContent content = ReadSongFile(file.Path());
    benchmark::DoNotOptimize(content.Notes.data());
  }
}
BENCHMARK(ReadSong5000)->Unit(benchmark::kMicrosecond);

void SongText5000(benchmark::State& state) {
  TSong song = FiveThousandNotes();
  for (auto _ : state) {
    std::string text = SongFileText(song);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(SongText5000)->Unit(benchmark::kMicrosecond);

// The whole save: the text, a file beside the song flushed to disk, the rename.
void SaveSong5000(benchmark::State& state) {
  TSongFile file;
  for (auto _ : state)
    SaveSong(file.Song);
}
BENCHMARK(SaveSong5000)->Unit(benchmark::kMicrosecond);

// The crash-recovery copy after an edit: the text is made on the GUI thread, the
// file written on the recovery writer's.
void RecoveryText5000(benchmark::State& state) {
  TSongFile file;
  for (auto _ : state)
    benchmark::DoNotOptimize(RecoveryText(file.Song, std::nullopt));
}
BENCHMARK(RecoveryText5000)->Unit(benchmark::kMicrosecond);

void WriteRecovery5000(benchmark::State& state) {
  TSongFile file;
  const std::string text = RecoveryText(file.Song, std::nullopt);
  for (auto _ : state)
    WriteRecoveryFile(file.Folder + "/recovery/song.recovery", text);
}
BENCHMARK(WriteRecovery5000)->Unit(benchmark::kMicrosecond);

void SortNotesReversed5000(benchmark::State& state) {
  TSong reversed = FiveThousandNotes();
  std::reverse(reversed.Notes.begin(), reversed.Notes.end());
  for (auto _ : state) {
    TSong song = reversed;
    SortNotes(song);
    benchmark::DoNotOptimize(song.Notes.data());
  }
}
BENCHMARK(SortNotesReversed5000)->Unit(benchmark::kMicrosecond);

// A long note laid over the middle of the song: it splits one note, removes
// hundreds and cuts the two at its ends.
void ResolveOverlaps5000(benchmark::State& state) {
  TSong base = FiveThousandNotes();
  TNote wide;
  wide.Start = 5001;
  wide.Length = 8000;
  wide.Text = "wide";
  base.Notes.push_back(wide);
  for (auto _ : state) {
    TSong song = base;
    ResolveOverlaps(song, song.Notes.size() - 1);
    benchmark::DoNotOptimize(song.Notes.data());
  }
}
BENCHMARK(ResolveOverlaps5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
