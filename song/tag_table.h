#pragma once
// The tag editor's table: the song's descriptive header lines as key/value rows.
// It lives for the whole run, so keys the user has seen stay from one opening to
// the next; values are the song's own bytes (UTF-8 by convention).
#include "song/song_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace tagEditor {

struct TTagRow {
  std::string Key; // upper case, without "#"; empty until the user names a new row
  std::string Value;

  bool operator==(const TTagRow&) const = default;
};

struct TTagTable {
  std::vector<TTagRow> Rows;
};

// TITLE, ARTIST, ALBUM, VIDEO, COVER, BACKGROUND, CREATOR, LANGUAGE, all empty.
TTagTable InitialTagTable();

// The key a tag name is shown under: blanks and one "#" dropped, upper case.
std::string TagKey(std::string_view name);
// BPM, GAP, VIDEOGAP and MP3: the program keeps these lines itself.
bool IsManagedTag(std::string_view key);

// Opening the editor: unnamed rows go and every value is emptied, so nothing of a
// song edited earlier remains; then each header line sets its key's value or adds
// a row at the end.
void FillTagTable(TTagTable& table, const std::vector<std::string>& tags);

// Closing after a change: Tags becomes "#MP3" (the song's own line, else the loaded
// music's name), then "#KEY:value" for every named row with a value, in table order.
void WriteTagTable(const TTagTable& table, songData::TSong& song);

// Renames a row to TagKey(typed). Returns why the name is refused (the row is then
// unchanged), or an empty text when it was taken.
std::string RenameTagRow(TTagTable& table, std::size_t row, std::string_view typed);
// A value stays on its header line: line breaks become blanks.
void SetTagValue(TTagTable& table, std::size_t row, std::string_view value);

} // namespace tagEditor
