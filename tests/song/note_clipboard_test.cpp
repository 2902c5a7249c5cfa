#include "common/note_builder.h"
#include "song/note_clipboard.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

TNote Selected(TNote note) {
  note.Selected = true;
  return note;
}

std::string Le32(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// A block written by hand: magic, the count claimed, then the records given.
std::string Block(std::int32_t count, const std::vector<std::string>& records) {
  std::string block = Le32(NoteBlockMagic) + Le32(static_cast<std::uint32_t>(count));
  for (const std::string& record : records)
    block += record;
  return block;
}

std::string Record(std::int32_t start, std::uint8_t kind, std::uint8_t textLength,
                   const std::string& text = "") {
  std::string record = Le32(static_cast<std::uint32_t>(start)) + Le32(2) + Le32(7);
  record += static_cast<char>(kind);
  record += '\1';
  record += std::string(2, '\0');
  record += static_cast<char>(textLength);
  std::string bytes = text;
  bytes.resize(47, 'z');
  return record + bytes;
}

TEST(NoteClipboard, CopiedSelectionReadsBackWithItsLayout) {
  TSong song;
  song.Notes = {Selected(MakeNote(nkGolden, 40, 2, 5, "la")), MakeNote(nkNormal, 42, 2, 5, "x"),
                Selected(MakeNote(nkLineBreak, 44)), Selected(MakeNote(nkFreestyle, 50, 3, -2))};
  const std::string block = EncodeNoteBlock(song);
  ASSERT_EQ(block.size(), 8u + 3 * 64);
  EXPECT_EQ(block.substr(0, 8), Le32(NoteBlockMagic) + Le32(3));
  EXPECT_EQ(block.substr(8, 64), Le32(40) + Le32(2) + Le32(5) +
                                     std::string("\x02\x01\0\0\x02la", 7) + std::string(45, '\0'));
  bool valid = false;
  const std::vector<TNote> records = DecodeNoteBlock(block, valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(records, (std::vector<TNote>{song.Notes[0], song.Notes[2], song.Notes[3]}));
}

TEST(NoteClipboard, TheVoiceTravelsInByteFourteen) {
  TSong song;
  TNote rap = Selected(MakeNote(nkRap, 0, 2, 0, "yo"));
  rap.Voice = SecondVoice;
  song.Notes = {rap, Selected(MakeNote(nkRapGolden, 4, 2, 0, "hey"))};
  const std::string block = EncodeNoteBlock(song);
  EXPECT_EQ(block.substr(8 + 12, 4), std::string("\x05\x01\x02\0", 4));
  EXPECT_EQ(block.substr(8 + 64 + 12, 4), std::string("\x06\x01\0\0", 4));
  bool valid = false;
  EXPECT_EQ(DecodeNoteBlock(block, valid), song.Notes);
  // Older blocks hold 0 there; any value but 2 is the first voice.
  for (char voiceByte : {'\0', '\1', '\3', '\xFF'}) {
    std::string record = Record(0, 1, 1, "a");
    record[14] = voiceByte;
    EXPECT_EQ(DecodeNoteBlock(Block(1, {record}), valid).at(0).Voice, FirstVoice);
  }
}

TEST(NoteClipboard, ForeignBlocksAreReadOnlyAsFarAsTheyGo) {
  struct TCase {
    const char* Name;
    std::string Block;
    bool Valid;
    std::size_t Records;
  };
  const TCase cases[] = {
      {"wrong magic", Le32(0x12345678) + Le32(1) + Record(0, 1, 1, "a"), false, 0},
      {"too short for a magic", "ab", false, 0},
      {"magic alone", Le32(NoteBlockMagic), true, 0},
      {"count beyond the records", Block(3, {Record(0, 1, 1, "a")}), true, 1},
      {"half a record", Block(2, {Record(0, 1, 1, "a"), Record(4, 1, 1).substr(0, 30)}), true, 1},
      {"negative count", Block(-1, {Record(0, 1, 1, "a")}), true, 0},
      {"unknown kinds", Block(3, {Record(0, 0, 1), Record(4, 9, 1), Record(8, 4, 0)}), true, 1},
  };
  for (const TCase& c : cases) {
    bool valid = !c.Valid;
    EXPECT_EQ(DecodeNoteBlock(c.Block, valid).size(), c.Records) << c.Name;
    EXPECT_EQ(valid, c.Valid) << c.Name;
  }
  bool valid = false;
  const std::vector<TNote> records = DecodeNoteBlock(Block(1, {Record(0, 1, 200, "abc")}), valid);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Text.Str(), "abc" + std::string(44, 'z')); // 47 bytes at most
}

TEST(NoteClipboard, LineBreaksAndControlBytesInTextsBecomeSpaces) {
  bool valid = false;
  const std::vector<TNote> records = DecodeNoteBlock(
      Block(2, {Record(0, 1, 6, "a\r\nE\nb"), Record(4, 1, 5, std::string("\0\x01\t\x7F\xC3", 5))}),
      valid);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Text.Str(), "a  E b");
  EXPECT_EQ(records[1].Text.Str(), "  \t \xC3");
}

TEST(NoteClipboard, PasteKeepsDistancesFromTheCursorBeatAndWins) {
  TSong song;
  song.BPM = 15; // one beat a second
  song.Notes = {Selected(MakeNote(nkNormal, 0, 2, 0, "old")), MakeNote(nkNormal, 101, 2, 0, "b")};
  const std::vector<TNote> copied = {Selected(MakeNote(nkNormal, 40, 2, 5, "x")),
                                     Selected(MakeNote(nkLineBreak, 44)),
                                     Selected(MakeNote(nkNormal, 50, 2, 5, "y"))};
  PasteNotes(song, copied, 100.0);
  ASSERT_EQ(song.Notes.size(), 5u);
  EXPECT_FALSE(song.Notes[0].Selected);
  EXPECT_EQ(song.Notes[1].Start, 102); // gave way to the pasted note at 100
  EXPECT_EQ(song.Notes[2].Start, 100);
  EXPECT_EQ(song.Notes[3].Start, 104);
  EXPECT_EQ(song.Notes[4].Start, 110);
  EXPECT_TRUE(song.Notes[2].Selected && song.Notes[3].Selected && song.Notes[4].Selected);
  // The same again at the same place: the second copy wins over the first.
  PasteNotes(song, copied, 100.0);
  std::size_t at100 = 0;
  for (const TNote& note : song.Notes)
    at100 += note.Start == 100 && note.Length > 0 ? 1 : 0;
  EXPECT_EQ(at100, 1u);
}

TEST(NoteClipboard, PasteKeepsTheFollowedIndexOnItsRecord) {
  struct TCase {
    std::int32_t Followed, After;
  };
  // The note pasted at beat 10 takes in "b".
  for (TCase c : {TCase{0, 0}, TCase{1, -1}, TCase{2, 2}, TCase{-1, -1}}) {
    TSong song;
    song.BPM = 15; // one beat a second
    song.Notes = {MakeNote(nkNormal, 0, 2, 5, "a"), MakeNote(nkNormal, 10, 2, 5, "b"),
                  MakeNote(nkNormal, 20, 2, 5, "c")};
    std::int32_t followed = c.Followed;
    PasteNotes(song, {MakeNote(nkNormal, 0, 2, 5, "p")}, 10.0, FirstVoice, &followed);
    ASSERT_EQ(song.Notes.size(), 3u);
    EXPECT_EQ(followed, c.After) << c.Followed;
  }
}

// "twin kle star / how are" copied whole: the line break lies at the exact end of "star".
TEST(NoteClipboard, PastedLineBreaksRemoveAndSplitNothing) {
  const std::vector<TNote> copied = {
      Selected(MakeNote(nkNormal, 0, 2, 5, "twin")), Selected(MakeNote(nkNormal, 2, 2, 5, "kle")),
      Selected(MakeNote(nkNormal, 4, 4, 5, "star")), Selected(MakeNote(nkLineBreak, 8)),
      Selected(MakeNote(nkNormal, 10, 2, 5, "how")), Selected(MakeNote(nkNormal, 12, 2, 5, "are"))};
  TSong song;
  song.BPM = 15; // one beat a second
  PasteNotes(song, copied, 0.0);
  EXPECT_EQ(song.Notes, copied);

  // A line break pasted inside a note leaves the note whole.
  song.Notes = {MakeNote(nkNormal, 100, 8, 5, "long")};
  PasteNotes(song, {Selected(MakeNote(nkLineBreak, 0))}, 104.0);
  EXPECT_EQ(song.Notes, (std::vector<TNote>{MakeNote(nkNormal, 100, 8, 5, "long"),
                                            Selected(MakeNote(nkLineBreak, 104))}));
}

} // namespace
