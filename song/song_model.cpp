#include "song/song_model.h"

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <utility>

namespace songData {

TSong Song;

void DeleteNote(TSong& song, std::size_t i, std::int32_t* follow) {
  std::size_t last = song.Notes.size() - 1;
  if (follow != nullptr && *follow == static_cast<std::int32_t>(i))
    *follow = -1;
  else if (follow != nullptr && *follow == static_cast<std::int32_t>(last))
    *follow = static_cast<std::int32_t>(i);
  song.Notes[i] = song.Notes[last];
  song.Notes.pop_back();
}

void DeleteSelectedNotes(TSong& song, std::int32_t* follow) {
  std::size_t i = 0;
  while (i < song.Notes.size()) {
    if (song.Notes[i].Selected) {
      DeleteNote(song, i, follow);
    } else {
      ++i;
    }
  }
}

void SortNotes(TSong& song, std::int32_t* follow) {
  // In a stable order by Start the followed record lands after every earlier
  // start and its equals before it.
  if (follow != nullptr && *follow >= 0 && std::size_t(*follow) < song.Notes.size()) {
    const auto followed = static_cast<std::size_t>(*follow);
    const std::int32_t start = song.Notes[followed].Start;
    std::int32_t place = 0;
    for (std::size_t i = 0; i < song.Notes.size(); ++i) {
      const std::int32_t other = song.Notes[i].Start;
      place += other < start || (other == start && i < followed) ? 1 : 0;
    }
    *follow = place;
  }
  // A stable order by Start is unique, so any stable sort gives the same array.
  std::stable_sort(song.Notes.begin(), song.Notes.end(),
                   [](const TNote& a, const TNote& b) { return a.Start < b.Start; });
}

namespace {

std::int32_t Narrow(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::string Joined(const TNoteText& first, const TNoteText& second) {
  return first.Str() + second.Str();
}

} // namespace

TGiveWay GiveWay(TNote& a, TNote& b, TNote& rest) {
  const std::int64_t a0 = a.Start;
  const std::int64_t a1 = a0 + a.Length;
  const std::int64_t head = a0 - b.Start;
  const std::int64_t tail = static_cast<std::int64_t>(b.Start) + b.Length - a1;
  if (head > 0 && tail > 0) { // A lies strictly inside B: B is split around it
    b.Length = Narrow(head);
    rest = TNote();
    rest.Start = Narrow(a1);
    rest.Length = Narrow(tail);
    rest.Pitch = b.Pitch;
    rest.Kind = b.Kind;
    rest.Voice = b.Voice;
    rest.Text = "~";
    return TGiveWay::gwSplit;
  }
  TGiveWay result = TGiveWay::gwUntouched;
  std::int64_t b0 = b.Start;
  std::int64_t b1 = b0 + b.Length;
  const std::int64_t over = a1 - b0;
  if (over > 0 && b1 >= a1) { // A covers the beginning of B
    b0 += over;
    b.Start = Narrow(b0);
    b.Length = Narrow(b1 - b0);
    if (b.Length <= 0) {
      a.Text = Joined(a.Text, b.Text);
      return TGiveWay::gwRemoved;
    }
    result = TGiveWay::gwCut;
  }
  const std::int64_t under = b1 - a0;
  if (under > 0 && b0 <= a0) { // B covers the beginning of A
    b.Length = Narrow(b1 - b0 - under);
    if (b.Length <= 0) {
      a.Text = Joined(b.Text, a.Text);
      return TGiveWay::gwRemoved;
    }
    result = TGiveWay::gwCut;
  }
  if (head <= 0 && tail <= 0) return TGiveWay::gwRemoved; // B lies within A
  return result;
}

void DeleteMarkedNotes(TSong& song, const std::vector<std::size_t>& marked,
                       const std::function<void(std::size_t from, std::size_t to)>& moved,
                       std::int32_t* follow) {
  // The walk stops at the first marked slot, takes the last record into it and
  // looks at the slot again; the mark travels with its record.
  std::set<std::size_t> left(marked.begin(), marked.end());
  while (!left.empty()) {
    const std::size_t slot = *left.begin();
    const std::size_t last = song.Notes.size() - 1;
    left.erase(left.begin());
    const bool lastMarked = left.erase(last) > 0;
    if (lastMarked) left.insert(slot);
    DeleteNote(song, slot, follow);
    if (!lastMarked && slot != last && moved) moved(last, slot);
  }
}

void ResolveOverlaps(TSong& song, std::size_t a, std::int32_t* follow) {
  auto& notes = song.Notes;
  // A line break, or a note of a damaged file or another program's clipboard
  // block, covers no beats: splitting around it would never end, and one at a
  // note's end would swallow that note.
  if (notes[a].Length <= 0) return;
  std::vector<std::size_t> removed;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    // The other voice of a duet sings at the same time and never gives way.
    if (i == a || notes[i].Length <= 0 || notes[i].Voice != notes[a].Voice) continue;
    TNote rest;
    const TGiveWay result = GiveWay(notes[a], notes[i], rest);
    if (result == TGiveWay::gwSplit) notes.push_back(rest);
    if (result == TGiveWay::gwRemoved) removed.push_back(i);
  }
  DeleteMarkedNotes(song, removed, {}, follow);
}

} // namespace songData
