// Pasting a block of 200 000 notes: into an empty song, and over the same notes
// already there, where every pasted note wins over one.
#include "song/note_clipboard.h"

#include <benchmark/benchmark.h>

namespace {

using namespace songData;

constexpr int BlockNotes = 200000;

std::vector<TNote> Block() {
  std::vector<TNote> records;
  for (int i = 0; i < BlockNotes; ++i) {
    TNote note;
    note.Kind = i % 10 == 9 ? nkLineBreak : nkNormal;
    note.Start = i * 4;
    note.Length = note.IsLineBreak() ? 0 : 3;
    note.Pitch = 40 + i % 12;
    note.Selected = true;
    if (!note.IsLineBreak()) note.Text = "la";
    records.push_back(note);
  }
  return records;
}

void PasteIntoEmptySong(benchmark::State& state) {
  const std::vector<TNote> records = Block();
  for (auto _ : state) {
    TSong song;
    PasteNotes(song, records, 0.0);
    benchmark::DoNotOptimize(song.Notes.data());
  }
}
BENCHMARK(PasteIntoEmptySong)->Unit(benchmark::kMillisecond);

void PasteOverTheSameNotes(benchmark::State& state) {
  const std::vector<TNote> records = Block();
  TSong base;
  PasteNotes(base, records, 0.0);
  for (auto _ : state) {
    TSong song = base;
    PasteNotes(song, records, 0.0);
    benchmark::DoNotOptimize(song.Notes.data());
  }
}
BENCHMARK(PasteOverTheSameNotes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
