#include "main_window_fixture.h"
#include "view_input.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <functional>

namespace {

using namespace viewinput;

const std::string Song1 = "#BPM:120\r\n: 0 4 8 a\r\n: 4 4 8 b\r\n- 10\r\n: 12 4 6 c\r\nE\r\n";

class KeyCommands : public MainWindow {
protected:
  void SetUp() override {
    Start(QString::fromStdString(WriteSong("s.txt", Song1)));
    QApplication::setActiveWindow(Form.get());
  }
  void Hover(double beat, std::int32_t pitch) { Move(*Form, At(*Form, beat, pitch)); }
};

TEST_F(KeyCommands, DeleteTakesTheHoveredNoteOrTheSelection) {
  Song.Notes[3].Selected = true; // c
  Form->View.SelectedCount = 1;
  Hover(1, 8); // a, not selected: it goes alone
  Key(*Form, Qt::Key_Delete);
  EXPECT_EQ(MemoLines(), (QStringList{"b", "c", ""}));
  EXPECT_EQ(History.UndoCount, 2);
  Hover(13, 6); // c, selected: the selection goes
  Key(*Form, Qt::Key_Delete);
  EXPECT_EQ(MemoLines(), (QStringList{"b", ""}));
  // Nothing hovered and nothing selected: no snapshot.
  Hover(30, 20);
  Key(*Form, Qt::Key_Delete);
  EXPECT_EQ(History.UndoCount, 3);
  EXPECT_EQ(Song.Notes.size(), 2u);
}

TEST_F(KeyCommands, GAndFCycleTheHoveredNote) {
  Hover(1, 8);
  const songData::TNoteKind cycle[] = {songData::nkGolden, songData::nkFreestyle,
                                       songData::nkNormal};
  const int keys[] = {Qt::Key_G, Qt::Key_F, Qt::Key_F};
  for (int i = 0; i < 3; ++i) {
    Key(*Form, keys[i]);
    EXPECT_EQ(Song.Notes[0].Kind, cycle[i]) << i;
  }
  EXPECT_EQ(History.UndoCount, 4);
}

TEST_F(KeyCommands, NoteKeysTypedIntoAFieldStayText) {
  Hover(1, 8);
  Form->Lyrics->setFocus();
  Key(*Form, Qt::Key_G, {}, "g");
  Key(*Form, Qt::Key_Delete);
  EXPECT_EQ(Song.Notes[0].Kind, songData::nkNormal);
  EXPECT_EQ(Song.Notes.size(), 4u);
}

TEST_F(KeyCommands, ANewNoteStaysHoveredWhenTheNotesAreSortedAroundIt) {
  // Drawn between b and the line break, the new note is sorted into slot 2 on release.
  Hover(8, 9);
  Press(*Form, At(*Form, 8, 9));
  Move(*Form, At(*Form, 10, 9), Qt::LeftButton);
  Release(*Form, At(*Form, 10, 9));
  ASSERT_EQ(Form->View.HoverIndex, 2);
  Key(*Form, Qt::Key_G);
  EXPECT_EQ(Song.Notes[2].Kind, songData::nkGolden);
  EXPECT_EQ(Song.Notes[4].Kind, songData::nkNormal); // c
}

TEST_F(KeyCommands, UndoAndRedoLeaveNothingHovered) {
  // A new note stays hovered after its release; undo takes it away again.
  Hover(20, 9);
  Press(*Form, At(*Form, 20, 9));
  Move(*Form, At(*Form, 24, 9), Qt::LeftButton);
  Release(*Form, At(*Form, 24, 9));
  ASSERT_EQ(Form->View.HoverIndex, 4);
  ASSERT_EQ(Form->View.HoverMode, editor::hmRightEdge);
  Form->UndoActionExecute();
  ASSERT_EQ(Song.Notes.size(), 4u);
  EXPECT_EQ(Form->View.HoverMode, editor::hmNothing);
  Hover(1, 8);
  Form->RedoActionExecute();
  EXPECT_EQ(Form->View.HoverMode, editor::hmNothing);
}

TEST_F(KeyCommands, SpacePlaysAndStopsUnlessAFieldHasTheFocus) {
  WriteMusic("s.mp3", 3.0);
  Form->LoadSong(Folder.File("s.txt"));
  if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
  Key(*Form, Qt::Key_Space, {}, " ");
  EXPECT_TRUE(Form->plStop->isEnabled());
  Key(*Form, Qt::Key_Space, {}, " ");
  EXPECT_TRUE(Form->plPlay->isEnabled());
  Form->editBPM->setFocus();
  Key(*Form, Qt::Key_Space, {}, " ");
  EXPECT_TRUE(Form->plPlay->isEnabled());
}

TEST_F(KeyCommands, WheelScrollsOnlyOverTheRows) {
  const int before = Form->Scroll->value();
  Wheel(*Form, QPoint(100, 4), -120); // the band above the grid
  EXPECT_EQ(Form->Scroll->value(), before);
  Hover(20, 10);
  Wheel(*Form, At(*Form, 20, 10), -120);
  EXPECT_EQ(Form->Scroll->value(), before + 4);
}

TEST_F(KeyCommands, WheelAndRangeDragStopAtTheStartOfAVeryLongTimeline) {
  // A gap of years puts the scroll bar's start near the lowest int.
  Form->LoadSong(WriteSong("far.txt", "#BPM:120\r\n#GAP:99999999999999\r\n: 0 4 8 a\r\nE\r\n"));
  const QPoint middle(Form->MainImg->width() / 2, Form->MainImg->height() / 2);
  const QPoint leftEdge(2, middle.y());
  const std::function<void()> scrollsBack[] = {[&] { Wheel(*Form, middle, 120); },
                                               [&] {
                                                 Press(*Form, middle, Qt::RightButton);
                                                 Move(*Form, leftEdge, Qt::RightButton);
                                                 Release(*Form, leftEdge, Qt::RightButton);
                                               }};
  for (const auto& scrollBack : scrollsBack) {
    Form->Scroll->setValue(Form->Scroll->minimum());
    Move(*Form, middle);
    ASSERT_GT(Form->View.HoverTone, editor::NoHoverTone);
    scrollBack();
    EXPECT_EQ(Form->Scroll->value(), Form->Scroll->minimum());
  }
}

TEST_F(KeyCommands, RedoAnswersItsThreeShortcuts) {
  const QList<QKeySequence> keys = Form->RedoAction->shortcuts();
  EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+X")));
  EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+Y")));
  EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+Shift+Z")));
  EXPECT_EQ(Form->EditCopy2->shortcut(), QKeySequence("Ctrl+C"));
  EXPECT_EQ(Form->EditPaste2->shortcut(), QKeySequence("Ctrl+V"));
}

} // namespace
