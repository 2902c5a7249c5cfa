#include "song/tag_table.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace tagEditor {
namespace {

std::string_view SkipBlanks(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view TrimBlanks(std::string_view text) {
  text = SkipBlanks(text);
  const std::size_t end = text.find_last_not_of(" \t");
  return text.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

// The part of a header line before its first ":", or the whole line without one.
std::string_view LineName(std::string_view line) {
  return line.substr(0, line.find(':'));
}

std::string_view LineValue(std::string_view line) {
  const std::size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
}

TTagRow* RowOf(TTagTable& table, std::string_view key) {
  auto at = std::find_if(table.Rows.begin(), table.Rows.end(),
                         [key](const TTagRow& row) { return row.Key == key; });
  return at == table.Rows.end() ? nullptr : &*at;
}

// The song's own music line; a song without one that was read with its own music
// gets that music's name. Never the name left over from another song.
std::string MusicName(const songData::TSong& song) {
  for (const std::string& line : song.Tags) {
    if (TagKey(LineName(line)) != "MP3") continue;
    const std::string_view value = LineValue(line);
    if (!value.empty()) return std::string(value);
  }
  return song.MusicLoaded ? song.MusicFileName : std::string();
}

} // namespace

TTagTable InitialTagTable() {
  TTagTable table;
  for (const char* key :
       {"TITLE", "ARTIST", "ALBUM", "VIDEO", "COVER", "BACKGROUND", "CREATOR", "LANGUAGE"})
    table.Rows.push_back({key, {}});
  return table;
}

std::string TagKey(std::string_view name) {
  name = TrimBlanks(name);
  if (!name.empty() && name.front() == '#') name = TrimBlanks(name.substr(1));
  std::string key(name);
  // ASCII only: the bytes of UTF-8 letters stay as they are.
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return key;
}

bool IsManagedTag(std::string_view key) {
  constexpr std::array<std::string_view, 4> managed = {"BPM", "GAP", "VIDEOGAP", "MP3"};
  return std::find(managed.begin(), managed.end(), key) != managed.end();
}

void FillTagTable(TTagTable& table, const std::vector<std::string>& tags) {
  std::erase_if(table.Rows, [](const TTagRow& row) { return row.Key.empty(); });
  for (TTagRow& row : table.Rows)
    row.Value.clear();
  for (const std::string& line : tags) {
    std::string key = TagKey(LineName(line));
    if (key.empty() || IsManagedTag(key)) continue;
    std::string value(SkipBlanks(LineValue(line)));
    if (TTagRow* row = RowOf(table, key)) {
      row->Value = std::move(value);
    } else {
      table.Rows.push_back({std::move(key), std::move(value)});
    }
  }
}

void WriteTagTable(const TTagTable& table, songData::TSong& song) {
  const std::string music = MusicName(song);
  song.Tags.clear();
  if (!music.empty()) song.Tags.push_back("#MP3:" + music);
  // The first row of a key decides; an empty value leaves the tag out.
  std::unordered_set<std::string> written;
  for (const TTagRow& row : table.Rows) {
    if (row.Key.empty() || IsManagedTag(row.Key) || !written.insert(row.Key).second) continue;
    if (!row.Value.empty()) song.Tags.push_back("#" + row.Key + ":" + row.Value);
  }
}

std::string RenameTagRow(TTagTable& table, std::size_t row, std::string_view typed) {
  std::string key = TagKey(typed);
  if (key == table.Rows[row].Key) return {};
  if (key.empty()) return "A tag needs a name; delete the row to remove the tag.";
  if (std::any_of(key.begin(), key.end(),
                  [](char c) { return c == ':' || static_cast<unsigned char>(c) < 32; }))
    return "A tag name cannot hold \":\" or control characters.";
  if (IsManagedTag(key)) return key + " is kept by the editor itself, not in this table.";
  if (RowOf(table, key)) return "There is a row " + key + " already.";
  table.Rows[row].Key = std::move(key);
  return {};
}

void SetTagValue(TTagTable& table, std::size_t row, std::string_view value) {
  std::string& stored = table.Rows[row].Value;
  stored = value;
  std::replace_if(
      stored.begin(), stored.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
}

} // namespace tagEditor
