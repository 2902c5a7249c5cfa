#include "main_window_fixture.h"
#include "song/note_clipboard.h"
#include "view_input.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <functional>

namespace {

const std::string Fast = "#BPM:300\r\n: 40 2 8 x\r\n- 44\r\n: 50 2 9 y\r\n: 60 2 9 z\r\nE\r\n";
const std::string Slow = "#BPM:150\r\n: 0 4 8 a\r\nE\r\n";

class Clipboard : public MainWindow {};

TEST_F(Clipboard, CopyAndPasteIntoASongOfAnotherTempoKeepTheBeats) {
  Start(QString::fromStdString(WriteSong("fast.txt", Fast)));
  for (int i = 0; i < 3; ++i)
    Song.Notes[i].Selected = true;
  Form->View.SelectedCount = 3;
  Form->EditCopy1Execute();
  Form->LoadSong(WriteSong("slow.txt", Slow));
  Form->View.CursorTime = 10.0; // beat 100 at 150 BPM
  Form->EditPaste1Execute();
  ASSERT_EQ(Song.Notes.size(), 4u);
  EXPECT_EQ(Song.Notes[1].Start, 100);
  EXPECT_TRUE(Song.Notes[2].IsLineBreak());
  EXPECT_EQ(Song.Notes[2].Start, 104);
  EXPECT_EQ(Song.Notes[3].Start, 110);
  EXPECT_EQ(Form->View.SelectedCount, 3);
  EXPECT_EQ(MemoLines(), (QStringList{"a", "x", "y", ""}));
  EXPECT_EQ(History.UndoCount, 2);
}

TEST_F(Clipboard, PasteOverTheHoveredNoteLeavesNothingHovered) {
  Start(QString::fromStdString(WriteSong("long.txt", "#BPM:150\r\n: 0 8 8 p\r\nE\r\n")));
  Form->SelectAll1Click();
  Form->EditCopy1Execute();
  Form->LoadSong(WriteSong("two.txt", "#BPM:150\r\n: 0 2 8 x\r\n: 4 2 8 h\r\nE\r\n"));
  viewinput::Move(*Form, viewinput::At(*Form, 5, 8));
  ASSERT_EQ(Form->View.HoverIndex, 1);
  Form->View.CursorTime = 0;
  Form->EditPaste1Execute(); // p takes in x and the hovered h
  ASSERT_EQ(Song.Notes.size(), 1u);
  EXPECT_EQ(Form->View.HoverMode, editor::hmNothing);
  EXPECT_EQ(Form->View.HoverIndex, -1);
}

TEST_F(Clipboard, CutRemovesTheSelectionAsOneUndoStep) {
  Start(QString::fromStdString(WriteSong("fast.txt", Fast)));
  Song.Notes[3].Selected = true;
  Form->View.SelectedCount = 1;
  Form->EditCut1Execute();
  EXPECT_EQ(Song.Notes.size(), 3u);
  EXPECT_EQ(History.UndoCount, 2);
  Form->View.CursorTime = 0;
  Form->EditPaste1Execute();
  EXPECT_EQ(Song.Notes.front().Text.Str(), "z");
  EXPECT_EQ(Song.Notes.front().Start, 0);
}

TEST_F(Clipboard, ForeignOrShortBlocksPasteOnlyWhatTheyHold) {
  Start(QString::fromStdString(WriteSong("slow.txt", Slow)));
  auto put = [](const QString& format, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(format, bytes);
    QApplication::clipboard()->setMimeData(data);
  };
  // Plain text is never read, and a paste of nothing is no undo step.
  QApplication::clipboard()->setText("not notes");
  Form->EditPaste1Execute();
  EXPECT_EQ(Song.Notes.size(), 1u);
  EXPECT_EQ(History.UndoCount, 1);
  // A block claiming 1000 records but holding one pastes that one.
  songData::TSong source;
  source.Notes = {Song.Notes[0]};
  source.Notes[0].Selected = true;
  std::string block = songData::EncodeNoteBlock(source);
  block[4] = static_cast<char>(0xE8);
  block[5] = static_cast<char>(0x03);
  put("application/x-chorvantamaker", QByteArray(block.data(), qsizetype(block.size())));
  Form->View.CursorTime = 10.0;
  Form->EditPaste1Execute();
  EXPECT_EQ(Song.Notes.size(), 2u);
  EXPECT_TRUE(ErrorTexts.empty());
}

// Whatever the clipboard holds, a paste into any field or the view never crashes:
// Qt's own memo paste read past an empty clipboard. Lyrics take only text.
TEST_F(Clipboard, NoPasteInAnyFieldCrashes) {
  const std::string song = WriteSong("fast.txt", Fast);
  Start(QString::fromStdString(song));
  QApplication::setActiveWindow(Form.get());
  Form->SelectAll1Click();
  Form->EditCopy1Execute();
  QMimeData* const ownBlock = new QMimeData;
  for (const QString& format : QApplication::clipboard()->mimeData()->formats())
    ownBlock->setData(format, QApplication::clipboard()->mimeData()->data(format));
  struct TContent {
    const char* name;
    std::function<QMimeData*()> make; // null: a cleared clipboard
    QString memoLine;                 // what the memo's first line reads after the paste
  } contents[] = {
      {"cleared", nullptr, "x"},
      // What the X11 clipboard gives when no program holds it.
      {"empty", [] { return new QMimeData; }, "x"},
      {"text",
       [] {
         auto* data = new QMimeData;
         data->setText("la\r\nlo");
         return data;
       },
       "la"},
      {"foreign",
       [] {
         auto* data = new QMimeData;
         data->setData("application/x-foreign", QByteArray("\0\1\2", 3));
         return data;
       },
       "x"},
      {"own notes",
       [&] {
         auto* data = new QMimeData;
         for (const QString& format : ownBlock->formats())
           data->setData(format, ownBlock->data(format));
         return data;
       },
       "x"},
  };
  QWidget* const fields[] = {Form->Lyrics, Form->editBPM, Form->editGAP, Form->EditVGap};
  for (const TContent& content : contents) {
    for (QWidget* field : fields) {
      Form->LoadSong(song);
      if (content.make)
        QApplication::clipboard()->setMimeData(content.make());
      else
        QApplication::clipboard()->clear();
      field->setFocus();
      if (field == Form->Lyrics) Form->Lyrics->moveCursor(QTextCursor::Start);
      viewinput::Key(*Form, Qt::Key_V, Qt::ControlModifier);
      viewinput::Mouse(Form->Lyrics->viewport(), QEvent::MouseButtonRelease, {5, 5},
                       Qt::MiddleButton, Qt::NoButton);
      if (field == Form->Lyrics) {
        EXPECT_EQ(MemoLines().front(), content.memoLine) << content.name;
      }
    }
    Form->MainImg->setFocus();
    Form->EditPaste1->trigger();
  }
  delete ownBlock;
  EXPECT_TRUE(ErrorTexts.empty());
}

} // namespace
