#include "main_window_fixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// A code page the reader cannot convert keeps the texts' own bytes.
const std::string Song1 = "#BPM:15\r\n#ENCODING:CP1250\r\n- 0\r\n: 4 4 12 one\r\n: 8 4 12 two\r\n"
                          ": 12 4 12 \xF0\x9F\x8E\xA4\r\n: 16 4 12 caf\xE9\r\nE\r\n";

class Lyrics : public MainWindow {
protected:
  void SetUp() override {
    Start(QString::fromStdString(WriteSong("s.txt", Song1)));
    QApplication::setActiveWindow(Form.get());
    Form->Lyrics->setFocus();
  }
  void TypeOnLine(int line, const QString& text) {
    QTextCursor cursor(Form->Lyrics->document()->findBlockByNumber(line));
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
  }
};

TEST_F(Lyrics, ShowsFourByteCharactersAsThemselves) {
  EXPECT_EQ(MemoLines()[2], QString::fromUtf8("\xF0\x9F\x8E\xA4"));
}

TEST_F(Lyrics, TypingRewritesThatSyllableOnlyAndIsOneUndoStep) {
  ASSERT_TRUE(Form->Lyrics->hasFocus());
  TypeOnLine(1, "TWO");
  EXPECT_EQ(Song.Notes[2].Text.Str(), "TWO");
  EXPECT_EQ(Song.Notes[3].Text.Str(), "\xF0\x9F\x8E\xA4");
  EXPECT_EQ(Song.Notes[4].Text.Str(), "caf\xE9"); // not UTF-8, kept as it was
  EXPECT_TRUE(Form->IsModified());
  Form->LyricsExit();
  Form->UndoActionExecute();
  EXPECT_EQ(Song.Notes[2].Text.Str(), "two");
  EXPECT_EQ(MemoLines()[1], "two");
}

TEST_F(Lyrics, RebuildIsNotTakenBackWithoutFocus) {
  Form->Scroll->setFocus();
  Form->Lyrics->setPlainText("x\ny\n");
  EXPECT_EQ(Song.Notes[1].Text.Str(), "one");
}

TEST_F(Lyrics, ClickMovesTheCursorToTheSyllable) {
  Form->Lyrics->setTextCursor(QTextCursor(Form->Lyrics->document()->findBlockByNumber(1)));
  Form->LyricsClick();
  EXPECT_DOUBLE_EQ(Form->View.CursorTime, 8.0);
  EXPECT_EQ(Form->Scroll->value(), 60); // two seconds before the cursor
  Form->Lyrics->setTextCursor(QTextCursor(Form->Lyrics->document()->findBlockByNumber(4)));
  Form->LyricsClick(); // the empty last line
  EXPECT_DOUBLE_EQ(Form->View.CursorTime, 8.0);
}

} // namespace
