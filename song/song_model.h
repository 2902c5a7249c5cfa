#pragma once
// The one open song and the operations that keep its notes consistent after edits.
// The GUI thread owns it; the player reads a published snapshot instead.
#include "song/note.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace songData {

// Most records a song file gives, against absurd files: far more than any song
// the editor writes (a record costs 64 bytes).
constexpr std::size_t MaxFileRecords = 1'000'000;

struct TSong {
  std::vector<TNote> Notes; // not kept sorted between edits
  double BPM = 125.0;
  double MusicOffset = 0.0; // seconds: minus the file's gap
  double VideoGap = 0.0;    // seconds
  std::int32_t Transpose = 0;
  std::vector<std::string> Tags; // header lines in file order, "#NAME:value"
  std::string SongDir;           // without trailing separator
  std::string SongFileName;
  std::string MusicFileName;
  bool UseBOM = false;
  bool BackupPending = false;
  bool MusicLoaded = false;
};

extern TSong Song;

// The operations that move records take an index into Notes to follow, such as
// the view's hovered record: it keeps pointing at its record, and is -1 once
// that record is deleted.

// Moves the last record into slot i.
void DeleteNote(TSong& song, std::size_t i, std::int32_t* follow = nullptr);
void DeleteSelectedNotes(TSong& song, std::int32_t* follow = nullptr);
// Stable by Start; Kind plays no part.
void SortNotes(TSong& song, std::int32_t* follow = nullptr);
// Every other note of its voice gives way to note a: cut, split, merged into it or
// removed. A note of length 0 or less takes no room and changes nothing.
void ResolveOverlaps(TSong& song, std::size_t a, std::int32_t* follow = nullptr);

enum class TGiveWay { gwUntouched, gwCut, gwSplit, gwRemoved };

// ResolveOverlaps for one other note b of a's voice and of positive length: b
// is cut, split (its later part goes to rest), merged into a or to be removed.
// Only a b that overlaps a changes.
TGiveWay GiveWay(TNote& a, TNote& b, TNote& rest);

// Deletes the records at the ascending positions `marked` as a walk from the
// first record does it, which moves the last record into each freed slot;
// moved(from, to) hears, after the move, of every record moved that stays.
void DeleteMarkedNotes(TSong& song, const std::vector<std::size_t>& marked,
                       const std::function<void(std::size_t from, std::size_t to)>& moved = {},
                       std::int32_t* follow = nullptr);

} // namespace songData
