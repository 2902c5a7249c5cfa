#include "main_window_fixture.h"
#include "support/number_text.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const std::string Song1 = "#BPM:125\r\n: 100 4 12 la\r\n- 110\r\n: 120 2 0 lo\r\nE\r\n";

TEST_F(MainWindow, BpmFieldTakesCommaOrPointNumbersAndRefusesTheRest) {
  Start(QString::fromStdString(WriteSong("s.txt", Song1)));
  struct TCase {
    const char* Text;
    double Bpm;
  };
  // A refused value puts the kept one back and says why: absurd tempos made
  // songs whose saved timing did not read back.
  for (TCase c : {TCase{"120.25", 120.25}, TCase{"120,5", 120.5}, TCase{"0", 120.5},
                  TCase{"-3", 120.5}, TCase{"", 120.5}, TCase{"1e20", 120.5},
                  TCase{"10000,5", 120.5}, TCase{"10000", 10000.0}, TCase{"250", 250.0}}) {
    Form->StatusPanels[3]->clear();
    Form->editBPM->setText(c.Text);
    Form->editBPMExit();
    EXPECT_EQ(Song.BPM, c.Bpm) << c.Text;
    EXPECT_EQ(Form->editBPM->text().toStdString(), MyServis::FormatGeneral(c.Bpm, 6, ','));
    const bool refused = c.Bpm == 120.5 && c.Text != std::string("120,5");
    EXPECT_EQ(Form->StatusPanels[3]->text() == "The BPM must lie above 0 and at most 10000",
              refused)
        << c.Text;
  }
  EXPECT_EQ(Form->View.PixelsPerBeat, 10); // nearest(1080 / 250 + 6)
  // Each leave is an undo step; undo brings the old tempo and its field back.
  Form->UndoActionExecute();
  EXPECT_EQ(Song.BPM, 10000.0);
  EXPECT_EQ(Form->editBPM->text(), "10000");
}

TEST_F(MainWindow, GapFieldsApplyTogether) {
  Start(QString::fromStdString(WriteSong("s.txt", Song1)));
  Form->editGAP->setText("1,5");
  Form->EditVGap->setText("2,25");
  Form->editGAPExit();
  EXPECT_EQ(Song.MusicOffset, -1.5);
  EXPECT_EQ(Song.VideoGap, 2.25);
  Form->editGAP->setText("x");
  Form->EditVGap->setText("3");
  Form->editGAPExit();
  EXPECT_EQ(Song.MusicOffset, -1.5);
  EXPECT_EQ(Form->editGAP->text(), "1,5");
  EXPECT_EQ(Song.VideoGap, 3.0);
  EXPECT_EQ(History.UndoCount, 3);
  // Gaps within a day; five billion milliseconds are refused.
  Form->editGAP->setText("5000000");
  Form->EditVGap->setText("-86401");
  Form->editGAPExit();
  EXPECT_EQ(Song.MusicOffset, -1.5);
  EXPECT_EQ(Song.VideoGap, 3.0);
  EXPECT_EQ(Form->editGAP->text(), "1,5");
  EXPECT_EQ(Form->EditVGap->text(), "3");
  EXPECT_TRUE(Form->StatusPanels[3]->text().contains("within a day"));
  Form->editGAP->setText("-86400");
  Form->editGAPExit();
  EXPECT_EQ(Song.MusicOffset, 86400.0);
}

TEST_F(MainWindow, TransposeBoxAndOctaveCommands) {
  Start(QString::fromStdString(WriteSong("s.txt", Song1)));
  Form->TransposeBox->setCurrentIndex(2);
  Form->TransposeBoxChange();
  EXPECT_EQ(Song.Transpose, -12);
  EXPECT_EQ(History.UndoCount, 1); // no undo step for the box
  Form->OctaveUpExecute();
  Form->OctaveUpExecute();
  Form->UndoActionExecute();
  EXPECT_EQ(Song.Notes[0].Pitch, 24);
  EXPECT_EQ(Song.Notes[1].Pitch, 12); // line breaks move too
  Form->OctaveDownExecute();
  EXPECT_EQ(Song.Notes[0].Pitch, 12);
  EXPECT_FALSE(Form->RedoAction->isEnabled() && songData::CanRedo(History));
}

TEST_F(MainWindow, TransposeGuessShowsItsEntryOrNone) {
  struct TCase {
    const char* Body;
    const char* Entry;
  };
  for (TCase c : {TCase{": 0 1 60 a\r\n", "C4 = 48"}, TCase{": 0 1 0 a\r\n", "C4 = -12"},
                  TCase{": 0 1 75 a\r\n", ""}}) {
    Song.Notes.clear();
    Form->LoadSong(WriteSong("t.txt", std::string("#BPM:100\r\n") + c.Body + "E\r\n"));
    EXPECT_EQ(Form->TransposeBox->currentText(), c.Entry) << c.Body;
  }
  EXPECT_EQ(Song.Transpose, -72);
}

TEST_F(MainWindow, SelectAllAndDeselectCountTheMarks) {
  Start(QString::fromStdString(WriteSong("s.txt", Song1)));
  Form->SelectAll1Click();
  EXPECT_EQ(Form->View.SelectedCount, 3);
  EXPECT_TRUE(Song.Notes[1].Selected);
  EXPECT_FALSE(Form->IsModified()); // marks are not saved
  Form->Deselect1Click();
  EXPECT_EQ(Form->View.SelectedCount, 0);
}

} // namespace
