#pragma once
// The one open song and the operations that keep its notes consistent after edits.
// The GUI thread owns it; the player reads a published snapshot instead.
#include "song/note.h"

#include <cstdint>
#include <string>
#include <vector>

namespace songData {

// Most records a song file gives; edits may add more.
constexpr std::size_t MaxFileRecords = 5000;

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
  std::int32_t HoverIndex = -1; // the record mouse and keyboard edits act on
};

extern TSong Song;

// Moves the last record into slot i; HoverIndex follows the moved record, and
// is -1 once the hovered record itself is deleted.
void DeleteNote(TSong& song, std::size_t i);
void DeleteSelectedNotes(TSong& song);
// Stable by Start; Kind plays no part. HoverIndex follows its record.
void SortNotes(TSong& song);
// Every other note of its voice gives way to note a: cut, split, merged into it or
// removed.
void ResolveOverlaps(TSong& song, std::size_t a);

} // namespace songData
