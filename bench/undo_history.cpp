// The undo history of a 5000-note song holding 1000 single-note edits: one
// undo and redo step, one new step, and the bytes held; and the unsaved-changes
// question the window asks on every timer tick and after every edit.
#include "song/undo_history.h"

#include "song/song_baseline.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace songData;

constexpr int SongNotes = 5000;
constexpr int Edits = 1000;

TSong LongSong() {
  TSong song;
  song.BPM = 123.45;
  song.MusicOffset = -1.234;
  song.Tags = {"#TITLE:long", "#ARTIST:bench", "#BPM:123,45", "#GAP:1234"};
  for (int i = 0; i < SongNotes; ++i) {
    TNote note;
    note.Kind = i % 10 == 9 ? nkLineBreak : nkNormal;
    note.Start = i * 4;
    note.Length = note.IsLineBreak() ? 0 : 3;
    note.Pitch = 40 + i % 12;
    if (!note.IsLineBreak()) note.Text = "la" + std::to_string(i % 100);
    song.Notes.push_back(note);
  }
  return song;
}

// One note moved, raised or renamed per edit, spread over the song.
void EditOneNote(TSong& song, int edit) {
  TNote& note = song.Notes[static_cast<std::size_t>(edit) * 7919 % song.Notes.size()];
  if (edit % 3 == 0) note.Start += 1;
  if (edit % 3 == 1) note.Pitch += 1;
  if (edit % 3 == 2) note.Text = "edit" + std::to_string(edit);
}

void FillHistory(TSong& song, TUndoHistory& history) {
  PushUndo(history, song, true);
  for (int edit = 0; edit < Edits; ++edit) {
    EditOneNote(song, edit);
    PushUndo(history, song, false);
  }
}

// Each iteration is one undo and one redo in the middle of the history.
void UndoRedoOneStep(benchmark::State& state) {
  TSong song = LongSong();
  TUndoHistory history;
  FillHistory(song, history);
  for (int step = 0; step < Edits / 2; ++step)
    Undo(history, song);
  for (auto _ : state) {
    Undo(history, song);
    Redo(history, song);
    benchmark::DoNotOptimize(song.Notes.data());
  }
  state.counters["step"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(UndoRedoOneStep)->Unit(benchmark::kMicrosecond);

// The step every edit makes, on a full history that drops its oldest state.
void PushOneNoteEdit(benchmark::State& state) {
  TSong song = LongSong();
  TUndoHistory history;
  FillHistory(song, history);
  int edit = Edits;
  for (auto _ : state) {
    EditOneNote(song, edit++);
    PushUndo(history, song, false);
  }
}
BENCHMARK(PushOneNoteEdit)->Unit(benchmark::kMicrosecond);

void MemoryOfAThousandSteps(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    TSong song = LongSong();
    TUndoHistory history;
    FillHistory(song, history);
    bytes = history.Slots.Bytes();
  }
  state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(MemoryOfAThousandSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

// A timer tick: nothing changed since the last question.
void DiffersUnchanged(benchmark::State& state) {
  TSong song = LongSong();
  TSongBaseline baseline;
  baseline.Capture(song);
  song.Notes[100].Pitch += 1;
  for (auto _ : state)
    benchmark::DoNotOptimize(baseline.Differs(song));
}
BENCHMARK(DiffersUnchanged)->Unit(benchmark::kMicrosecond);

// After an edit: the file text is made again.
void DiffersAfterAnEdit(benchmark::State& state) {
  TSong song = LongSong();
  TSongBaseline baseline;
  baseline.Capture(song);
  for (auto _ : state) {
    song.Notes[100].Pitch ^= 1;
    benchmark::DoNotOptimize(baseline.Differs(song));
  }
}
BENCHMARK(DiffersAfterAnEdit)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
