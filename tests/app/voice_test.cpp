#include "main_window_fixture.h"
#include "view_input.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace {

using namespace viewinput;
using songData::TNote;

// 120 BPM: 15 pixels a beat from beat 0 after a load. P1 sings and raps; P2
// sings and raps golden at the same time, lower, with a line break of its own.
const std::string DuetSong = "#BPM:120\r\nP1\r\n: 0 4 8 a\r\nR 4 4 8 b\r\n- 10\r\n"
                             ": 12 4 6 c\r\nP2\r\n: 0 4 3 x\r\nG 6 4 3 y\r\n- 11\r\nE\r\n";
const std::string SoloSong = "#BPM:120\r\n: 0 4 8 a\r\n: 4 4 8 b\r\nE\r\n";

class Voices : public MainWindow {
protected:
  void SetUp() override {
    Start(QString::fromStdString(WriteSong("duet.txt", DuetSong)));
    QApplication::setActiveWindow(Form.get());
  }
  // The user picks an entry of the Voice box with the keyboard.
  void ChooseVoice(int index) {
    Form->VoiceBox->setFocus();
    while (Form->VoiceBox->currentIndex() < index)
      Key(*Form, Qt::Key_Down);
    while (Form->VoiceBox->currentIndex() > index)
      Key(*Form, Qt::Key_Up);
  }
  // The voices of the notes the player was last given.
  std::vector<std::uint8_t> PlayerVoices() {
    std::vector<std::uint8_t> voices;
    for (const TNote& note : Player.Song->Notes)
      voices.push_back(note.Voice);
    return voices;
  }
  const TNote* Find(const std::string& text) const {
    for (const TNote& note : Song.Notes)
      if (note.Text.Str() == text) return &note;
    return nullptr;
  }
  void Hover(double beat, std::int32_t pitch) { Move(*Form, At(*Form, beat, pitch)); }
};

TEST_F(Voices, TheBoxChoosesWhatTheMemoShowsAndThePlayerSounds) {
  EXPECT_TRUE(Form->VoiceBox->isVisible());
  EXPECT_EQ(Form->VoiceBox->currentText(), "P1");
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", ""}));
  EXPECT_EQ(PlayerVoices(), (std::vector<std::uint8_t>{1, 1, 1, 1}));
  ChooseVoice(1);
  EXPECT_EQ(Form->View.Voice, songData::SecondVoice);
  EXPECT_EQ(MemoLines(), (QStringList{"x", "y", ""}));
  EXPECT_EQ(PlayerVoices(), (std::vector<std::uint8_t>{2, 2, 2}));
  // The view has the keys again, and a new note goes to P2.
  EXPECT_FALSE(Form->VoiceBox->hasFocus());
  Hover(20, 5);
  Press(*Form, At(*Form, 20, 5));
  Move(*Form, At(*Form, 22, 5), Qt::LeftButton);
  Release(*Form, At(*Form, 22, 5));
  ASSERT_NE(Find("~"), nullptr);
  EXPECT_EQ(Find("~")->Voice, songData::SecondVoice);
  EXPECT_EQ(MemoLines(), (QStringList{"x", "y", "~", ""}));
  ChooseVoice(0);
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", ""}));
  EXPECT_EQ(PlayerVoices(), (std::vector<std::uint8_t>{1, 1, 1, 1}));
}

TEST_F(Voices, TheMemoTypesAndClicksIntoTheChosenVoice) {
  ChooseVoice(1);
  Form->Lyrics->setFocus();
  QTextCursor cursor(Form->Lyrics->document()->findBlockByNumber(1));
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText("Y!");
  EXPECT_EQ(Find("Y!")->Start, 6);
  EXPECT_NE(Find("b"), nullptr);
  Form->Lyrics->setTextCursor(QTextCursor(Form->Lyrics->document()->findBlockByNumber(1)));
  Form->LyricsClick();
  EXPECT_DOUBLE_EQ(Form->View.CursorTime, 0.75); // beat 6 of P2, not P1's beat 4
}

TEST_F(Voices, LoadAndNewSongStartAtTheFirstVoice) {
  ChooseVoice(1);
  Form->LoadSong(Folder.File("duet.txt"));
  EXPECT_EQ(Form->View.Voice, songData::FirstVoice);
  EXPECT_EQ(Form->VoiceBox->currentText(), "P1");
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", ""}));
  ChooseVoice(1);
  Form->CreateNewSong(Folder.Path(), "fresh", false);
  EXPECT_EQ(Form->View.Voice, songData::FirstVoice);
  EXPECT_EQ(Form->VoiceBox->currentText(), "P1");
}

TEST_F(Voices, ChoosingP2OfASoloSongStartsASecondVoice) {
  Form->LoadSong(WriteSong("solo.txt", SoloSong));
  ChooseVoice(1);
  EXPECT_EQ(MemoLines(), (QStringList{""}));
  EXPECT_TRUE(Form->StatusPanels[3]->text().startsWith("P2 has no notes yet"));
  EXPECT_FALSE(Form->IsModified()); // nothing changes until a note is added
  Hover(1, 5);
  Press(*Form, At(*Form, 1, 5));
  Move(*Form, At(*Form, 3, 5), Qt::LeftButton);
  Release(*Form, At(*Form, 3, 5));
  EXPECT_TRUE(Form->IsModified());
  EXPECT_EQ(Find("~")->Voice, songData::SecondVoice);
  // It sings over P1's "a" without cutting it.
  EXPECT_EQ(Find("a")->Length, 4);
}

TEST_F(Voices, RTogglesRapAndGAndFTreatRapAsSung) {
  Hover(5, 8); // b, rap
  struct TStep {
    int Key;
    songData::TNoteKind Kind;
  };
  const TStep steps[] = {{Qt::Key_G, songData::nkGolden},    {Qt::Key_R, songData::nkRapGolden},
                         {Qt::Key_G, songData::nkNormal},    {Qt::Key_R, songData::nkRap},
                         {Qt::Key_F, songData::nkFreestyle}, {Qt::Key_R, songData::nkFreestyle}};
  int undo = History.UndoCount;
  for (const TStep& step : steps) {
    const songData::TNoteKind before = Find("b")->Kind;
    Key(*Form, step.Key);
    EXPECT_EQ(Find("b")->Kind, step.Kind) << step.Key;
    // One step for each change: R leaves a freestyle note as it is.
    if (step.Kind != before) ++undo;
    EXPECT_EQ(History.UndoCount, undo) << step.Key;
  }
  // Not while a text field has the focus.
  Form->Lyrics->setFocus();
  Key(*Form, Qt::Key_R, {}, "r");
  EXPECT_EQ(Find("b")->Kind, songData::nkFreestyle);
}

TEST_F(Voices, NoteKeysAndSelectionReachTheChosenVoiceOnly) {
  // From P1, P2's "y" under the pointer is not hovered.
  Hover(7, 3);
  EXPECT_EQ(Form->View.HoverMode, editor::hmNothing);
  Key(*Form, Qt::Key_R);
  Key(*Form, Qt::Key_Delete);
  EXPECT_EQ(Find("y")->Kind, songData::nkRapGolden);
  ChooseVoice(1);
  Form->SelectAll1->trigger();
  EXPECT_EQ(Form->View.SelectedCount, 3);
  Hover(30, 20);
  Key(*Form, Qt::Key_Delete);
  EXPECT_EQ(MemoLines(), (QStringList{""}));
  ChooseVoice(0);
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", ""}));
  EXPECT_EQ(Song.Notes.size(), 4u);
}

TEST_F(Voices, PastedNotesJoinTheChosenVoice) {
  Form->SelectAll1->trigger();
  Form->EditCopy1->trigger();
  ChooseVoice(1);
  EXPECT_EQ(Form->View.SelectedCount, 0); // P1's marks stay behind
  Form->View.CursorTime = 2.5;            // beat 20, after P2's notes
  Form->EditPaste1->trigger();
  EXPECT_EQ(MemoLines(), (QStringList{"x", "y", "a", "b", "c", ""}));
  int second = 0;
  for (const TNote& note : Song.Notes)
    second += note.Voice == songData::SecondVoice ? 1 : 0;
  EXPECT_EQ(second, 7);
  ChooseVoice(0);
  EXPECT_EQ(MemoLines(), (QStringList{"a", "b", "c", ""}));
}

} // namespace
