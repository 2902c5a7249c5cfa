#include "song/note_clipboard.h"

#include "song/one_line_text.h"
#include "song/winning_notes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace songData {
namespace {

void PutLe32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetLe32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

void PutRecord(std::string& out, const TNote& note) {
  PutLe32(out, static_cast<std::uint32_t>(note.Start));
  PutLe32(out, static_cast<std::uint32_t>(note.Length));
  PutLe32(out, static_cast<std::uint32_t>(note.Pitch));
  out += static_cast<char>(note.Kind);
  out += static_cast<char>(note.Selected ? 1 : 0);
  out += static_cast<char>(note.Voice == SecondVoice ? SecondVoice : 0);
  out += '\0';
  out += static_cast<char>(note.Text.Length);
  out.append(note.Text.Bytes, TNoteText::Capacity);
}

bool KnownKind(std::uint8_t kind) {
  return kind >= nkNormal && kind <= nkRapGolden;
}

std::int32_t Narrow(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

std::string EncodeNoteBlock(const TSong& song) {
  std::vector<const TNote*> chosen;
  for (const TNote& note : song.Notes)
    if (note.Selected) chosen.push_back(&note);
  std::string block;
  block.reserve(NoteBlockHeader + NoteRecordSize * chosen.size());
  PutLe32(block, NoteBlockMagic);
  PutLe32(block, static_cast<std::uint32_t>(chosen.size()));
  for (const TNote* note : chosen)
    PutRecord(block, *note);
  return block;
}

std::vector<TNote> DecodeNoteBlock(std::string_view block, bool& valid) {
  std::vector<TNote> records;
  valid = block.size() >= 4 && GetLe32(block, 0) == NoteBlockMagic;
  if (!valid || block.size() < NoteBlockHeader) return records;
  const auto count = static_cast<std::int32_t>(GetLe32(block, 4));
  const std::size_t whole = (block.size() - NoteBlockHeader) / NoteRecordSize;
  const std::size_t n = count < 0 ? 0 : std::min<std::size_t>(std::size_t(count), whole);
  for (std::size_t r = 0; r < n; ++r) {
    const std::size_t at = NoteBlockHeader + r * NoteRecordSize;
    const auto kind = static_cast<std::uint8_t>(block[at + 12]);
    if (!KnownKind(kind)) continue;
    TNote note;
    note.Start = static_cast<std::int32_t>(GetLe32(block, at));
    note.Length = static_cast<std::int32_t>(GetLe32(block, at + 4));
    note.Pitch = static_cast<std::int32_t>(GetLe32(block, at + 8));
    note.Kind = static_cast<TNoteKind>(kind);
    note.Selected = block[at + 13] != 0;
    // Blocks of older programs hold 0 here, which is the first voice.
    note.Voice = block[at + 14] == SecondVoice ? SecondVoice : FirstVoice;
    const std::size_t length =
        std::min<std::size_t>(static_cast<std::uint8_t>(block[at + 16]), TNoteText::Capacity);
    std::string text;
    AppendOneLine(text, block.substr(at + 17, length));
    note.Text = text;
    records.push_back(note);
  }
  return records;
}

std::vector<TNote> PlacedRecords(const TSong& song, std::vector<TNote> records, double cursorTime,
                                 std::uint8_t voice) {
  std::int64_t minStart = 100000;
  for (const TNote& record : records)
    minStart = std::min<std::int64_t>(minStart, record.Start);
  const double beat = std::nearbyint(song.BPM * 4 * static_cast<float>(cursorTime) / 60);
  const std::int64_t cursorBeat =
      std::isfinite(beat) ? Narrow(std::int64_t(std::clamp(beat, -4e9, 4e9))) : 0;
  for (TNote& record : records) {
    record.Start = Narrow(record.Start + cursorBeat - minStart);
    record.Voice = voice;
  }
  return records;
}

void PasteNotes(TSong& song, const std::vector<TNote>& records, double cursorTime,
                std::uint8_t voice, std::int32_t* follow) {
  for (TNote& note : song.Notes)
    note.Selected = false;
  AppendWinningNotes(song, PlacedRecords(song, records, cursorTime, voice), follow);
}

} // namespace songData
