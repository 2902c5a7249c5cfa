// The song's numbers in the top panel, and the small commands of the menus.
#include "app/main_form.h"
#include "editor/note_editing.h"
#include "support/message_boxes.h"
#include "support/number_text.h"
#include "support/program_files.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <cmath>

namespace app {
namespace {

QString Number(double value) {
  return QString::fromStdString(MyServis::FormatGeneral(value, 6, ','));
}

// A decimal point is taken as well as a comma, as the song file reader takes it.
bool ReadNumber(const QLineEdit* field, double& value) {
  const std::string text = field->text().toStdString();
  return (MyServis::TryParseFloat(text, ',', value) || MyServis::TryParseFloat(text, '.', value)) &&
         std::isfinite(value);
}

} // namespace

void TMainForm::ShowSongParameters() {
  const songData::TSong& song = context_.Song;
  editBPM->setText(Number(song.BPM));
  editGAP->setText(Number(-song.MusicOffset));
  EditVGap->setText(Number(song.VideoGap));
}

void TMainForm::ShowTranspose() {
  const std::int32_t transpose = context_.Song.Transpose;
  const int index = (12 - transpose) / 12;
  // A guess below the box's lowest entry keeps its value with no entry shown.
  TransposeBox->setCurrentIndex(
      transpose % 12 == 0 && index >= 0 && index < TransposeBox->count() ? index : -1);
  Scroll->setValue(0);
}

namespace {

// Beyond these a song's times overflow when written, and the saved file would
// not read back with the same timing.
constexpr double MostBPM = 10000;
constexpr double MostGapSeconds = 24 * 60 * 60;

} // namespace

// A value the field refuses is put back as the song keeps it, and the status
// bar says why.
void TMainForm::editBPMExit() {
  songData::TSong& song = context_.Song;
  double bpm = 0;
  if (ReadNumber(editBPM, bpm) && bpm > 0 && bpm <= MostBPM) {
    song.BPM = bpm;
  } else {
    editBPM->setText(Number(song.BPM));
    SetStatusText("The BPM must lie above 0 and at most 10000");
  }
  Commit(chTiming, true);
}

void TMainForm::editGAPExit() {
  songData::TSong& song = context_.Song;
  double value = 0;
  if (ReadNumber(editGAP, value) && std::abs(value) <= MostGapSeconds) {
    song.MusicOffset = -value;
  } else {
    editGAP->setText(Number(-song.MusicOffset));
    SetStatusText("The audio gap must lie within a day (86400 seconds)");
  }
  if (ReadNumber(EditVGap, value) && std::abs(value) <= MostGapSeconds) {
    song.VideoGap = value;
  } else {
    EditVGap->setText(Number(song.VideoGap));
    SetStatusText("The video gap must lie within a day (86400 seconds)");
  }
  Commit(chTiming, true);
}

void TMainForm::TransposeBoxChange() {
  if (TransposeBox->currentIndex() < 0) return;
  context_.Song.Transpose = 12 - 12 * TransposeBox->currentIndex();
  Commit(chNotes, false);
}

namespace {

void ShiftOctave(songData::TSong& song, int semitones) {
  for (songData::TNote& note : song.Notes)
    note.Pitch += semitones;
}

} // namespace

void TMainForm::OctaveUpExecute() {
  ShiftOctave(context_.Song, 12);
  Commit(chNotes, true);
}

void TMainForm::OctaveDownExecute() {
  ShiftOctave(context_.Song, -12);
  Commit(chNotes, true);
}

void TMainForm::SelectAll1Click() {
  editor::SelectVoice(context_.Song, View);
  Commit(chView, false);
}

void TMainForm::Deselect1Click() {
  for (songData::TNote& note : context_.Song.Notes)
    note.Selected = false;
  Commit(chView, false);
}

void TMainForm::UndoActionExecute() {
  if (!songData::CanUndo(context_.History) || IsPlaying()) return;
  songData::Undo(context_.History, context_.Song);
  ShowRestoredState();
}

void TMainForm::RedoActionExecute() {
  if (!songData::CanRedo(context_.History) || IsPlaying()) return;
  songData::Redo(context_.History, context_.Song);
  ShowRestoredState();
}

void TMainForm::ShowRestoredState() {
  // The snapshot may carry another tempo and gap, and other marks.
  editor::KeepSelectionInVoice(context_.Song, View);
  // The hovered record may be gone or another; the next mouse move finds out.
  View.HoverMode = editor::hmNothing;
  View.HoverIndex = -1;
  Commit(chSong, false);
}

void TMainForm::HelpExecute() {
  const std::string manual = MyServis::ShippedFile("manual.htm");
  // Without a browser nothing would show at all.
  if (!Dialogs.OpenDocument(QString::fromStdString(manual)))
    MyServis::ErrorBox("Can't open the user manual " + manual +
                       ": no program to show it was found. Open it in a web browser.");
}

void TMainForm::HelpAbout1Execute() {
  Dialogs.RunAboutBox();
}

void TMainForm::FileExit1Execute() {
  close();
}

} // namespace app
