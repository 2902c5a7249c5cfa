#include "common/note_builder.h"
#include "editor/note_editing.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

using namespace editor;
using namespace songData;

// 15 pixels a beat from x = 0, rows 14 high from y = 10 (the start size): tone t has its row top
// at y = (29 - t) * 14 + 10.
TViewState View() {
  TViewState view;
  view.ScrollPosition = 0;
  return view;
}

TViewLayout Layout(const TViewState& view) {
  return LayoutOf(view, 814, 560);
}

int RowY(std::int32_t tone) {
  return (29 - tone) * 14 + 10 + 5;
}

TEST(HitTest, EdgeZonesGrowWithTheNoteAndANoteWinsOverALineBreak) {
  TSong song;
  song.Notes = {MakeNote(nkLineBreak, 12), MakeNote(nkNormal, 10, 3, 5, "a")};
  const TViewState view = View();
  // The note spans x 150 .. 194; its edge zones are 3 + 1 or 2 pixels wide.
  struct TCase {
    int X;
    THoverMode Mode;
  };
  for (TCase c : {TCase{149, hmNothing}, TCase{150, hmLeftEdge}, TCase{154, hmLeftEdge},
                  TCase{155, hmBody}, TCase{180, hmBody}, TCase{190, hmBody},
                  TCase{191, hmRightEdge}, TCase{194, hmRightEdge}, TCase{195, hmNothing}}) {
    const THit hit = HitTest(song, view, Layout(view), c.X, RowY(5));
    EXPECT_EQ(hit.Mode, c.Mode) << c.X;
  }
  // Off the note's row only the line break is there.
  EXPECT_EQ(HitTest(song, view, Layout(view), 182, RowY(9)).Mode, hmLineBreak);
  EXPECT_EQ(HitTest(song, view, Layout(view), 183, RowY(9)).Mode, hmNothing);
  EXPECT_EQ(HitTest(song, view, Layout(view), 160, RowY(5)).Index, 1);
}

TEST(MoveDraggedNotes, PushesTheNotesThatFollowInTheArray) {
  TSong song;
  song.Notes = {MakeNote(nkNormal, 0, 4, 5, "a"), MakeNote(nkNormal, 4, 4, 5, "b")};
  song.Notes[0].Selected = true;
  MoveDraggedNotes(song, 0, 2);
  EXPECT_EQ(song.Notes[0].Start, 2);
  EXPECT_EQ(song.Notes[1].Start, 6);
  // Moving left pushes the ones before it; a note before it in the array that
  // does not overlap stays.
  song.Notes = {MakeNote(nkNormal, 0, 4, 5, "a"), MakeNote(nkNormal, 4, 4, 5, "b")};
  MoveDraggedNotes(song, 1, -2);
  EXPECT_EQ(song.Notes[1].Start, 2);
  EXPECT_EQ(song.Notes[0].Start, -2);
  // B before A in the array is not pushed by A moving right.
  song.Notes = {MakeNote(nkNormal, 4, 4, 5, "b"), MakeNote(nkNormal, 0, 4, 5, "a")};
  MoveDraggedNotes(song, 1, 2);
  EXPECT_EQ(song.Notes[0].Start, 4);
  EXPECT_EQ(song.Notes[1].Start, 2);
}

TEST(SetDraggedPitch, MovesTheSelectionByTheSameSemitones) {
  TSong song;
  song.Notes = {MakeNote(nkNormal, 0, 1, 5), MakeNote(nkNormal, 2, 1, 7),
                MakeNote(nkNormal, 4, 1, 9), MakeNote(nkNormal, 6, 1, 1)};
  song.Notes[1].Selected = song.Notes[2].Selected = true;
  EXPECT_TRUE(SetDraggedPitch(song, 0, 8));
  EXPECT_EQ(song.Notes[0].Pitch, 8);
  EXPECT_EQ(song.Notes[1].Pitch, 10);
  EXPECT_EQ(song.Notes[2].Pitch, 12);
  EXPECT_EQ(song.Notes[3].Pitch, 1);
  EXPECT_FALSE(SetDraggedPitch(song, 0, 8));
}

TEST(NormaliseHovered, TurnsTheNoteAroundAndSwapsTheEdge) {
  struct TCase {
    std::int32_t Start, Length;
    THoverMode Mode;
    std::int32_t WantStart, WantLength;
    THoverMode WantMode;
  };
  for (TCase c :
       {TCase{10, -4, hmRightEdge, 6, 4, hmLeftEdge}, TCase{10, -4, hmLeftEdge, 6, 4, hmRightEdge},
        TCase{10, 0, hmLeftEdge, 10, 1, hmRightEdge},
        TCase{10, 3, hmLeftEdge, 10, 3, hmLeftEdge}}) {
    TSong song;
    song.Notes = {MakeNote(nkNormal, c.Start, c.Length, 5)};
    TViewState view = View();
    view.HoverIndex = 0;
    view.HoverMode = c.Mode;
    NormaliseHovered(song, view);
    EXPECT_EQ(song.Notes[0].Start, c.WantStart);
    EXPECT_EQ(song.Notes[0].Length, c.WantLength);
    EXPECT_EQ(view.HoverMode, c.WantMode);
  }
}

TEST(SelectRange, ReplacesRemovesOrAdds) {
  // 15 BPM: one beat a second.
  TSong song;
  song.BPM = 15;
  song.Notes = {MakeNote(nkNormal, 0, 2, 5), MakeNote(nkLineBreak, 3), MakeNote(nkNormal, 4, 2, 5),
                MakeNote(nkNormal, 8, 2, 5)};
  TViewState view = View();
  view.RangeStart = 6.5f; // given backwards
  view.RangeEnd = 2.5f;
  SelectRange(song, view, rmReplace);
  EXPECT_EQ(view.SelectedCount, 2);
  EXPECT_TRUE(song.Notes[1].Selected && song.Notes[2].Selected);
  view.RangeStart = 0;
  view.RangeEnd = 3.5f;
  SelectRange(song, view, rmRemove);
  EXPECT_FALSE(song.Notes[1].Selected);
  EXPECT_TRUE(song.Notes[2].Selected);
  SelectRange(song, view, rmAdd);
  EXPECT_EQ(view.SelectedCount, 3);
  EXPECT_FALSE(song.Notes[3].Selected);
}

TEST(NoteKeys, DeleteAndTheToggles) {
  TSong song;
  song.Notes = {MakeNote(nkNormal, 0, 2, 5, "a"), MakeNote(nkNormal, 4, 2, 5, "b"),
                MakeNote(nkFreestyle, 8, 2, 5, "c"), MakeNote(nkLineBreak, 12)};
  song.Notes[0].Selected = song.Notes[1].Selected = true;
  TViewState view = View();
  view.SelectedCount = 2;
  // G: freestyle to golden to normal; F: golden to freestyle to normal.
  view.HoverIndex = 2;
  view.HoverMode = hmBody;
  const TNoteKind golden[] = {nkGolden, nkNormal, nkGolden};
  for (TNoteKind kind : golden) {
    EXPECT_TRUE(ToggleGolden(song, view));
    EXPECT_EQ(song.Notes[2].Kind, kind);
  }
  const TNoteKind freestyle[] = {nkFreestyle, nkNormal};
  for (TNoteKind kind : freestyle) {
    EXPECT_TRUE(ToggleFreestyle(song, view));
    EXPECT_EQ(song.Notes[2].Kind, kind);
  }
  // Over a line break they do nothing.
  view.HoverIndex = 3;
  view.HoverMode = hmLineBreak;
  EXPECT_FALSE(ToggleGolden(song, view));
  EXPECT_EQ(song.Notes[3].Kind, nkLineBreak);
  // An unselected hovered note goes alone; a selected one takes the selection.
  view.HoverIndex = 2;
  view.HoverMode = hmBody;
  EXPECT_TRUE(DeleteNotes(song, view));
  EXPECT_EQ(song.Notes.size(), 3u);
  view.HoverIndex = 0;
  view.HoverMode = hmBody;
  EXPECT_TRUE(DeleteNotes(song, view));
  ASSERT_EQ(song.Notes.size(), 1u);
  EXPECT_TRUE(song.Notes[0].IsLineBreak());
  EXPECT_EQ(view.SelectedCount, 0);
  // Nothing hovered and nothing selected: nothing to do.
  EXPECT_FALSE(DeleteNotes(song, view));
  // A hovered slot past the end never reaches outside the notes.
  view.HoverIndex = 7;
  view.HoverMode = hmBody;
  EXPECT_FALSE(ToggleGolden(song, view));
  EXPECT_FALSE(DeleteNotes(song, view));
}

TEST(NoteKeys, RTogglesRapAndGAndFTakeRapForItsSungKind) {
  struct TCase {
    TNoteKind Kind, AfterG, AfterF, AfterR;
  };
  const TCase cases[] = {
      {nkNormal, nkGolden, nkFreestyle, nkRap},
      {nkGolden, nkNormal, nkFreestyle, nkRapGolden},
      {nkFreestyle, nkGolden, nkNormal, nkFreestyle},
      {nkRap, nkGolden, nkFreestyle, nkNormal},
      {nkRapGolden, nkNormal, nkFreestyle, nkGolden},
  };
  TViewState view = View();
  view.HoverMode = hmRightEdge;
  for (const TCase& c : cases) {
    const std::pair<bool (*)(TSong&, const TViewState&), TNoteKind> keys[] = {
        {ToggleGolden, c.AfterG}, {ToggleFreestyle, c.AfterF}, {ToggleRap, c.AfterR}};
    for (const auto& [toggle, after] : keys) {
      TSong song;
      song.Notes = {MakeNote(c.Kind, 0, 2, 5, "a")};
      view.HoverIndex = 0;
      EXPECT_TRUE(toggle(song, view));
      EXPECT_EQ(song.Notes[0].Kind, after) << int(c.Kind);
    }
  }
  // R over a line break, or with nothing hovered, does nothing.
  TSong song;
  song.Notes = {MakeNote(nkLineBreak, 4)};
  view.HoverIndex = 0;
  view.HoverMode = hmLineBreak;
  EXPECT_FALSE(ToggleRap(song, view));
  view.HoverMode = hmNothing;
  EXPECT_FALSE(ToggleRap(song, view));
  EXPECT_EQ(song.Notes[0].Kind, nkLineBreak);
}

TEST(TimeText, MinutesSecondsAndMilliseconds) {
  EXPECT_EQ(TimeText(0.0), "0:00.000");
  EXPECT_EQ(TimeText(83.4567), "1:23.457");
  EXPECT_EQ(TimeText(-2.5), "-0:02.500");
  EXPECT_EQ(TimeText(3600.0), "0:00.000"); // minutes of the hour
}

} // namespace
