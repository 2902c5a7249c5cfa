#include "common/note_builder.h"
#include "editor/note_editing.h"
#include "song/note_clipboard.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace songData;

// 15 pixels a beat from x = 0, rows 14 high from y = 10 (the start size).
TViewState View(std::uint8_t voice) {
  TViewState view;
  view.ScrollPosition = 0;
  view.Voice = voice;
  return view;
}

TViewLayout Layout(std::uint8_t voice) {
  return LayoutOf(View(voice), 814, 560);
}

int RowY(std::int32_t tone) {
  return (29 - tone) * 14 + 10 + 5;
}

TNote Sung(std::uint8_t voice, std::int32_t start, std::int32_t length, const std::string& text,
           TNoteKind kind = nkNormal) {
  TNote note = MakeNote(kind, start, length, 5, text);
  note.Voice = voice;
  return note;
}

// Both singers at once: the same beats and tone in either voice.
class Duet : public testing::Test {
protected:
  void SetUp() override {
    song.BPM = 15; // one beat a second
    song.Notes = {Sung(1, 10, 3, "a"), Sung(2, 10, 3, "x"), Sung(2, 14, 0, "", nkLineBreak),
                  Sung(1, 16, 2, "b"), Sung(2, 16, 2, "y")};
  }
  TSong song;
};

TEST_F(Duet, PointerFindsOnlyTheEditedVoice) {
  struct TCase {
    std::uint8_t Voice;
    int X, Y;
    THoverMode Mode;
    std::int32_t Index;
  };
  for (TCase c : {TCase{1, 170, RowY(5), hmBody, 0}, TCase{2, 170, RowY(5), hmBody, 1},
                  TCase{1, 210, RowY(9), hmNothing, 0}, TCase{2, 210, RowY(9), hmLineBreak, 2},
                  TCase{2, 250, RowY(5), hmBody, 4}}) {
    const THit hit = HitTest(song, View(c.Voice), Layout(c.Voice), c.X, c.Y);
    EXPECT_EQ(hit.Mode, c.Mode) << int(c.Voice) << ' ' << c.X;
    if (c.Mode != hmNothing) {
      EXPECT_EQ(hit.Index, c.Index) << int(c.Voice) << ' ' << c.X;
    }
  }
}

TEST_F(Duet, NewNotesJoinTheEditedVoice) {
  const std::int32_t i = AddNoteAt(song, View(2), Layout(2), 300, RowY(3));
  EXPECT_EQ(song.Notes[std::size_t(i)].Voice, SecondVoice);
  EXPECT_EQ(song.Notes[std::size_t(AddNoteAt(song, View(1), Layout(1), 300, RowY(3)))].Voice,
            FirstVoice);
}

TEST_F(Duet, SelectionStaysInTheEditedVoice) {
  TViewState view = View(2);
  view.RangeStart = 9.5f;
  view.RangeEnd = 20.0f;
  SelectRange(song, view, rmReplace);
  EXPECT_EQ(view.SelectedCount, 3);
  EXPECT_FALSE(song.Notes[0].Selected || song.Notes[3].Selected);
  SelectRange(song, view, rmRemove);
  EXPECT_EQ(view.SelectedCount, 0);
  view.Voice = 1;
  SelectVoice(song, view);
  EXPECT_EQ(view.SelectedCount, 2);
  EXPECT_TRUE(song.Notes[0].Selected && song.Notes[3].Selected);
  // Switching voices leaves nothing selected or hovered in the voice left.
  view.HoverIndex = 0;
  view.HoverMode = hmBody;
  ChooseVoice(song, view, 2);
  EXPECT_EQ(view.SelectedCount, 0);
  EXPECT_EQ(view.HoverMode, hmNothing);
  EXPECT_EQ(view.HoverIndex, -1);
}

TEST_F(Duet, NoteKeysLeaveAHoveredNoteOfTheOtherVoice) {
  // A hover left from before a switch of voices.
  TViewState view = View(1);
  view.HoverIndex = 1;
  view.HoverMode = hmBody;
  EXPECT_FALSE(ToggleGolden(song, view));
  EXPECT_FALSE(ToggleFreestyle(song, view));
  EXPECT_FALSE(ToggleRap(song, view));
  EXPECT_FALSE(DeleteNotes(song, view));
  EXPECT_EQ(song.Notes.size(), 5u);
  EXPECT_EQ(song.Notes[1].Kind, nkNormal);
}

TEST_F(Duet, DraggingPushesAndMovesItsOwnVoiceOnly) {
  song.Notes[4].Selected = true; // left over in the other voice
  MoveDraggedNotes(song, 0, 5);  // a onto b
  EXPECT_EQ(song.Notes[0].Start, 15);
  EXPECT_EQ(song.Notes[3].Start, 18); // b pushed along
  EXPECT_EQ(song.Notes[1].Start, 10);
  EXPECT_EQ(song.Notes[4].Start, 16);
  EXPECT_TRUE(SetDraggedPitch(song, 0, 9));
  EXPECT_EQ(song.Notes[4].Pitch, 5);
}

// The first record of this text.
const TNote& Named(const TSong& song, const std::string& text) {
  for (const TNote& note : song.Notes)
    if (note.Text.Str() == text) return note;
  static const TNote none;
  ADD_FAILURE() << "no note " << text;
  return none;
}

TEST_F(Duet, OverlapsAreResolvedWithinTheVoice) {
  // x stretched over y: y, inside it, is removed; a and b are not touched.
  song.Notes[1].Length = 9;
  ResolveOverlaps(song, 1);
  ASSERT_EQ(song.Notes.size(), 4u);
  EXPECT_EQ(Named(song, "a"), Sung(1, 10, 3, "a"));
  EXPECT_EQ(Named(song, "b"), Sung(1, 16, 2, "b"));
  EXPECT_EQ(Named(song, "x").Length, 9);
  // A note set inside another of its voice splits it, and the rest keeps the voice.
  song.Notes.push_back(Sung(2, 12, 1, "z"));
  ResolveOverlaps(song, song.Notes.size() - 1);
  ASSERT_EQ(song.Notes.size(), 6u);
  EXPECT_EQ(Named(song, "x").Length, 2);
  EXPECT_EQ(Named(song, "~").Start, 13);
  EXPECT_EQ(Named(song, "~").Voice, SecondVoice);
  EXPECT_EQ(Named(song, "a"), Sung(1, 10, 3, "a"));
}

TEST_F(Duet, PastedNotesJoinTheEditedVoiceAndPassTheOther) {
  std::vector<TNote> records = {Sung(1, 0, 2, "p"), Sung(1, 2, 2, "q")};
  records[0].Selected = records[1].Selected = true;
  PasteNotes(song, records, 16.0, SecondVoice); // at beat 16, over b and y
  ASSERT_EQ(song.Notes.size(), 6u);
  EXPECT_EQ(Named(song, "b"), Sung(1, 16, 2, "b"));
  std::vector<std::string> second;
  for (const TNote& note : song.Notes)
    if (note.Voice == SecondVoice && note.Start >= 16) {
      EXPECT_TRUE(note.Selected);
      second.push_back(note.Text.Str());
    }
  std::sort(second.begin(), second.end());
  // y gave way to p, which took its text.
  EXPECT_EQ(second, (std::vector<std::string>{"py", "q"}));
}

} // namespace
