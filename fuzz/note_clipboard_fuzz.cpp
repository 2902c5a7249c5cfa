// Any bytes as a clipboard block from another program: decoding trusts nothing
// in it, what it decodes encodes back to a block that decodes the same, and the
// records paste into a small song at a cursor taken from the block's end.
#include "require.h"
#include "song/note_clipboard.h"

#include <cstdint>
#include <cstring>

namespace {

using namespace songData;

TSong SmallSong() {
  TSong song;
  for (std::int32_t i = 0; i < 4; ++i) {
    TNote note;
    note.Start = 8 * i;
    note.Length = 4;
    note.Pitch = i;
    note.Voice = i % 2 == 0 ? FirstVoice : SecondVoice;
    note.Text = "la";
    song.Notes.push_back(note);
  }
  return song;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  bool valid = false;
  const std::vector<TNote> records = DecodeNoteBlock(block, valid);
  if (!valid) {
    Require(records.empty());
    return 0;
  }
  Require(records.size() <= (size - std::min(size, NoteBlockHeader)) / NoteRecordSize);

  TSong copy;
  for (TNote record : records) {
    Require(record.Text.Length <= TNoteText::Capacity);
    record.Selected = true;
    copy.Notes.push_back(record);
  }
  bool again = false;
  Require(DecodeNoteBlock(EncodeNoteBlock(copy), again) == copy.Notes && again);

  double cursorTime = 0;
  if (size >= sizeof cursorTime)
    std::memcpy(&cursorTime, data + size - sizeof cursorTime, sizeof cursorTime);
  TSong song = SmallSong();
  PasteNotes(song, records, cursorTime, records.empty() ? FirstVoice : records.front().Voice);
  for (const TNote& note : song.Notes)
    Require(note.Voice == FirstVoice || note.Voice == SecondVoice);
  return 0;
}
