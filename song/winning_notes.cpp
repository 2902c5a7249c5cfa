#include "song/winning_notes.h"

#include "song/interval_tree.h"

#include <algorithm>
#include <map>

namespace songData {
namespace {

// The song's notes of positive length by voice and beats, by their positions in
// the array. Only these can give way.
class TNoteIndex {
public:
  explicit TNoteIndex(const std::vector<TNote>& notes) : notes_(notes) {
    for (std::size_t i = 0; i < notes.size(); ++i)
      Add(i);
  }

  void Add(std::size_t i) {
    const TNote& note = notes_[i];
    if (note.Length > 0)
      voices_[note.Voice].Insert(note.Start, std::int64_t(note.Start) + note.Length, i);
  }
  // Before the note at i changes or goes.
  void Remove(std::size_t i) { voices_[notes_[i].Voice].Erase(notes_[i].Start, i); }
  // After the unchanged note at `from` was moved to `to`.
  void Moved(std::size_t from, std::size_t to) {
    TIntervalTree& tree = voices_[notes_[to].Voice];
    if (tree.Erase(notes_[to].Start, from))
      tree.Insert(notes_[to].Start, std::int64_t(notes_[to].Start) + notes_[to].Length, to);
  }
  // Ascending positions of the notes of a's voice that overlap note a.
  std::vector<std::size_t> Overlapping(std::size_t a) {
    std::vector<std::size_t> found;
    const TNote& note = notes_[a];
    voices_[note.Voice].Overlapping(note.Start, std::int64_t(note.Start) + note.Length, found);
    std::sort(found.begin(), found.end());
    return found;
  }

private:
  const std::vector<TNote>& notes_;
  std::map<std::uint8_t, TIntervalTree> voices_;
};

} // namespace

void AppendWinningNotes(TSong& song, const std::vector<TNote>& notes, std::int32_t* follow) {
  TNoteIndex index(song.Notes);
  song.Notes.reserve(song.Notes.size() + notes.size());
  for (const TNote& note : notes) {
    song.Notes.push_back(note);
    const std::size_t a = song.Notes.size() - 1;
    if (note.Length <= 0) continue; // as ResolveOverlaps: it takes no room
    // ResolveOverlaps touches only the notes that overlap a, in array order;
    // the later part of a split lies after a and is not touched.
    std::vector<std::size_t> removed;
    for (std::size_t i : index.Overlapping(a)) {
      index.Remove(i);
      TNote rest;
      const TGiveWay result = GiveWay(song.Notes[a], song.Notes[i], rest);
      if (result == TGiveWay::gwRemoved) {
        removed.push_back(i);
        continue;
      }
      index.Add(i);
      if (result == TGiveWay::gwSplit) {
        song.Notes.push_back(rest);
        index.Add(song.Notes.size() - 1);
      }
    }
    index.Add(a);
    DeleteMarkedNotes(
        song, removed, [&](std::size_t from, std::size_t to) { index.Moved(from, to); }, follow);
  }
}

} // namespace songData
