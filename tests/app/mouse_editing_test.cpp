#include "main_window_fixture.h"
#include "view_input.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

using namespace viewinput;

// 120 BPM: 15 pixels a beat, and the view starts at beat 0 after a load.
const std::string Song1 = "#BPM:120\r\n: 0 4 8 a\r\n: 4 4 8 b\r\n- 10\r\n: 12 4 6 c\r\nE\r\n";

class MouseEditing : public MainWindow {
protected:
  void SetUp() override { Start(QString::fromStdString(WriteSong("s.txt", Song1))); }
  const songData::TNote& NoteAt(std::int32_t start) {
    for (const songData::TNote& note : Song.Notes)
      if (note.Start == start) return note;
    static songData::TNote none;
    ADD_FAILURE() << "no note at " << start;
    return none;
  }
};

TEST_F(MouseEditing, ClickOnEmptyGridMakesALineBreak) {
  const QPoint at = At(*Form, 20, 9);
  Move(*Form, at);
  Press(*Form, at);
  Release(*Form, at);
  const songData::TNote& made = NoteAt(20);
  EXPECT_EQ(made.Kind, songData::nkLineBreak);
  EXPECT_EQ(made.Pitch, 9);
  EXPECT_EQ(made.Text.Str(), "~");
  EXPECT_EQ(History.UndoCount, 2);
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", ""}));
}

// Clicks a pixel or two apart on the same beat make one line break, not a pile.
TEST_F(MouseEditing, ClicksOnALineBreaksBeatMakeNoOther) {
  const QPoint at = At(*Form, 20, 9);
  for (const int dx : {0, 1, 3}) {
    Move(*Form, at + QPoint(dx, 0));
    Press(*Form, at + QPoint(dx, 0));
    Release(*Form, at + QPoint(dx, 0));
  }
  int breaks = 0;
  for (const songData::TNote& note : Song.Notes)
    breaks += note.IsLineBreak() && note.Start == 20 ? 1 : 0;
  EXPECT_EQ(breaks, 1);
  EXPECT_EQ(Song.Notes.size(), 5u);
  EXPECT_EQ(Form->View.HoverIndex < 0 || std::size_t(Form->View.HoverIndex) < Song.Notes.size(),
            true);
}

// The status tells the hovered note's beat, length, pitch and text.
TEST_F(MouseEditing, HoverTellsTheNotesBeatLengthPitchAndText) {
  Move(*Form, At(*Form, 6, 8));
  EXPECT_EQ(Form->StatusPanels[3]->text().toStdString(), "Beat 4, length 4, G#4, \"b\"");
  Move(*Form, At(*Form, 14, 6));
  EXPECT_EQ(Form->StatusPanels[3]->text().toStdString(), "Beat 12, length 4, F#4, \"c\"");
}

TEST_F(MouseEditing, DragOnEmptyGridMakesANoteTurnedAroundWhenDraggedLeft) {
  Move(*Form, At(*Form, 24, 9));
  Press(*Form, At(*Form, 24, 9));
  Move(*Form, At(*Form, 28, 9), Qt::LeftButton);
  EXPECT_EQ(Song.Notes.back().Length, 4);
  Move(*Form, At(*Form, 20, 9), Qt::LeftButton); // past the start
  EXPECT_EQ(Song.Notes.back().Start, 20);
  EXPECT_EQ(Song.Notes.back().Length, 4);
  EXPECT_EQ(Form->View.HoverMode, editor::hmLeftEdge); // the drag goes on with the left edge
  Move(*Form, At(*Form, 18, 9), Qt::LeftButton);
  Release(*Form, At(*Form, 18, 9));
  EXPECT_EQ(NoteAt(18).Length, 6);
  EXPECT_EQ(NoteAt(18).Kind, songData::nkNormal);
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", "~", ""}));
}

TEST_F(MouseEditing, BodyDragMovesInWholeBeatsAndPushesTheNextNote) {
  const QPoint body = At(*Form, 2, 8);
  Move(*Form, body);
  ASSERT_EQ(Form->View.HoverMode, editor::hmBody);
  Press(*Form, body);
  Move(*Form, body + QPoint(22, 0), Qt::LeftButton); // 1.47 beats: 1
  EXPECT_EQ(Song.Notes[0].Start, 1);
  Move(*Form, body + QPoint(30, 0), Qt::LeftButton);
  Release(*Form, body + QPoint(30, 0));
  EXPECT_EQ(NoteAt(2).Text.Str(), "a");
  EXPECT_EQ(NoteAt(6).Text.Str(), "b"); // pushed along
  EXPECT_EQ(History.UndoCount, 2);
  Form->UndoActionExecute();
  EXPECT_EQ(NoteAt(4).Text.Str(), "b");
}

TEST_F(MouseEditing, VerticalDragMovesTheSelectionToo) {
  Song.Notes[2].Selected = Song.Notes[3].Selected = true;
  const QPoint body = At(*Form, 2, 8);
  Move(*Form, body);
  Press(*Form, body);
  Move(*Form, At(*Form, 2, 10), Qt::LeftButton);
  Release(*Form, At(*Form, 2, 10));
  EXPECT_EQ(NoteAt(0).Pitch, 10);
  EXPECT_EQ(NoteAt(4).Pitch, 8); // not selected
  EXPECT_EQ(NoteAt(12).Pitch, 8);
  EXPECT_EQ(Player.CurrentTone, player::NoTone); // the preview stops at the release
}

TEST_F(MouseEditing, RightEdgeDragOntoTheNextNoteTakesItsText) {
  const QPoint edge(BeatX(*Form, 4) - 1, PitchY(*Form, 8));
  Move(*Form, edge);
  ASSERT_EQ(Form->View.HoverMode, editor::hmRightEdge);
  Press(*Form, edge);
  Move(*Form, At(*Form, 8, 8), Qt::LeftButton);
  Release(*Form, At(*Form, 8, 8));
  EXPECT_EQ(NoteAt(0).Length, 8);
  EXPECT_EQ(NoteAt(0).Text.Str(), "ab");
  EXPECT_EQ(MemoLines(), (QStringList{"ab", "c", ""}));
}

TEST_F(MouseEditing, ANoteTakenInByADragLeavesTheSelectionCount) {
  Form->SelectAll1Click();
  const QPoint edge(BeatX(*Form, 4) - 1, PitchY(*Form, 8));
  Move(*Form, edge);
  Press(*Form, edge);
  Move(*Form, At(*Form, 8, 8), Qt::LeftButton); // b, selected, is taken into a
  EXPECT_EQ(Form->View.SelectedCount, 3);
  Release(*Form, At(*Form, 8, 8));
  EXPECT_EQ(Form->View.SelectedCount, 3);
}

TEST_F(MouseEditing, LineBreakFollowsTheMouse) {
  const QPoint mark(BeatX(*Form, 10) + 1, PitchY(*Form, 20));
  Move(*Form, mark);
  ASSERT_EQ(Form->View.HoverMode, editor::hmLineBreak);
  Press(*Form, mark);
  Move(*Form, At(*Form, 11, 20), Qt::LeftButton);
  Release(*Form, At(*Form, 11, 20));
  EXPECT_TRUE(NoteAt(11).IsLineBreak());
}

TEST_F(MouseEditing, RangeDragSelectsByItsMode) {
  struct TCase {
    Qt::KeyboardModifiers Modifiers;
    int Selected;
  };
  Song.Notes[3].Selected = true; // c
  Form->View.SelectedCount = 1;
  // The range from beat 3 to 11 holds b and the line break.
  for (TCase c :
       {TCase{Qt::ShiftModifier, 3}, TCase{Qt::AltModifier, 1}, TCase{Qt::NoModifier, 2}}) {
    Press(*Form, At(*Form, 3, 20), Qt::RightButton);
    Move(*Form, At(*Form, 11, 20), Qt::RightButton, c.Modifiers);
    Release(*Form, At(*Form, 11, 20), Qt::RightButton);
    EXPECT_EQ(Form->View.SelectedCount, c.Selected);
  }
  EXPECT_EQ(Form->View.RangeStart, editor::NoRange);
  EXPECT_TRUE(Song.Notes[1].Selected && Song.Notes[2].Selected);
}

TEST_F(MouseEditing, PressInTheBandsPlacesTheCursorAndMovesShowTimeAndTone) {
  Press(*Form, QPoint(BeatX(*Form, 8), 4));
  EXPECT_DOUBLE_EQ(Form->View.CursorTime, 1.0);
  EXPECT_EQ(Song.Notes.size(), 4u);
  Move(*Form, At(*Form, 8, 0));
  EXPECT_EQ(Form->StatusPanels[1]->text(), "0:01.000");
  EXPECT_EQ(Form->StatusPanels[2]->text(), "C");
  EXPECT_EQ(Form->View.HoverTone, 0);
}

TEST_F(MouseEditing, PressesDuringPlaybackAreIgnored) {
  WriteMusic("s.mp3", 3.0);
  Form->LoadSong(Folder.File("s.txt"));
  Form->View.CursorTime = 1.0; // the player reads as playing once past the start
  Form->plPlayExecute();
  Press(*Form, At(*Form, 20, 9));
  Release(*Form, At(*Form, 20, 9));
  EXPECT_EQ(Song.Notes.size(), 4u);
}

} // namespace
