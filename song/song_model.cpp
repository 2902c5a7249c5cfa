#include "song/song_model.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

namespace songData {

TSong Song;

void DeleteNote(TSong& song, std::size_t i) {
  std::size_t last = song.Notes.size() - 1;
  if (song.HoverIndex == static_cast<std::int32_t>(i))
    song.HoverIndex = -1;
  else if (song.HoverIndex == static_cast<std::int32_t>(last))
    song.HoverIndex = static_cast<std::int32_t>(i);
  song.Notes[i] = song.Notes[last];
  song.Notes.pop_back();
}

void DeleteSelectedNotes(TSong& song) {
  std::size_t i = 0;
  while (i < song.Notes.size()) {
    if (song.Notes[i].Selected) {
      DeleteNote(song, i);
    } else {
      ++i;
    }
  }
}

void SortNotes(TSong& song) {
  // The hovered record keeps being the one that keys act on: in a stable order
  // by Start it lands after every earlier start and its equals before it.
  const auto hover = static_cast<std::size_t>(song.HoverIndex);
  if (song.HoverIndex >= 0 && hover < song.Notes.size()) {
    const std::int32_t start = song.Notes[hover].Start;
    std::int32_t place = 0;
    for (std::size_t i = 0; i < song.Notes.size(); ++i) {
      const std::int32_t other = song.Notes[i].Start;
      place += other < start || (other == start && i < hover) ? 1 : 0;
    }
    song.HoverIndex = place;
  }
  // A stable order by Start is unique, so any stable sort gives the same array.
  std::stable_sort(song.Notes.begin(), song.Notes.end(),
                   [](const TNote& a, const TNote& b) { return a.Start < b.Start; });
}

namespace {

constexpr std::int32_t RemovedStart = -1000;

std::int32_t Narrow(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

void MarkRemoved(TNote& note) {
  note.Start = RemovedStart;
  note.Length = 0;
}

std::string Joined(const TNoteText& first, const TNoteText& second) {
  return first.Str() + second.Str();
}

} // namespace

void ResolveOverlaps(TSong& song, std::size_t a) {
  auto& notes = song.Notes;
  // A damaged file or a clipboard block of another program may give a negative
  // length: such a note covers no beats, and splitting around it would never end.
  if (notes[a].Length < 0) return;
  const std::int64_t a0 = notes[a].Start;
  const std::int64_t a1 = a0 + notes[a].Length;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    // The other voice of a duet sings at the same time and never gives way.
    if (i == a || notes[i].Length <= 0 || notes[i].Voice != notes[a].Voice) continue;
    TNote& b = notes[i];
    const std::int64_t head = a0 - b.Start;
    const std::int64_t tail = static_cast<std::int64_t>(b.Start) + b.Length - a1;
    if (head > 0 && tail > 0) { // A lies strictly inside B: B is split around it
      b.Length = Narrow(head);
      TNote rest;
      rest.Start = Narrow(a1);
      rest.Length = Narrow(tail);
      rest.Pitch = b.Pitch;
      rest.Kind = b.Kind;
      rest.Voice = b.Voice;
      rest.Text = "~";
      notes.push_back(rest); // b is no longer valid
      continue;
    }
    std::int64_t b0 = b.Start;
    std::int64_t b1 = b0 + b.Length;
    const std::int64_t over = a1 - b0;
    if (over > 0 && b1 >= a1) { // A covers the beginning of B
      b0 += over;
      b.Start = Narrow(b0);
      b.Length = Narrow(b1 - b0);
      if (b.Length <= 0) {
        notes[a].Text = Joined(notes[a].Text, b.Text);
        MarkRemoved(b);
        continue;
      }
    }
    const std::int64_t under = b1 - a0;
    if (under > 0 && b0 <= a0) { // B covers the beginning of A
      b.Length = Narrow(b1 - b0 - under);
      if (b.Length <= 0) {
        notes[a].Text = Joined(b.Text, notes[a].Text);
        MarkRemoved(b);
        continue;
      }
    }
    if (head <= 0 && tail <= 0) MarkRemoved(b); // B lies within A
  }
  std::size_t i = 0;
  while (i < notes.size()) {
    if (notes[i].Start == RemovedStart) {
      DeleteNote(song, i);
    } else {
      ++i;
    }
  }
}

} // namespace songData
