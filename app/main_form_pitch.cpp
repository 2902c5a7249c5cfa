// The sung pitch: the contour tracked in the background, its line over the
// notes, the hovered note's sung pitch and the command that takes it.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "audio/music_loader.h"
#include "audio/pitch_suggestion.h"
#include "editor/view_coordinates.h"
#include "song/song_loader.h"
#include "song/song_tags.h"
#include "support/exceptions.h"
#include "support/program_settings.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <cmath>
#include <stdexcept>

namespace app {
namespace {

// "G4" for tone value 7: the octave of C4 is tone value 0 .. 11.
QString NoteName(double tone) {
  const auto whole = static_cast<std::int32_t>(std::nearbyint(tone));
  const std::int32_t octave = 4 + (whole >= 0 ? whole / 12 : (whole - 11) / 12);
  return QString::fromLatin1(editor::ToneName(whole)) + QString::number(octave);
}

} // namespace

void TMainForm::StopPitchTracking() {
  // Its contour goes too, or the last progress event would bring it back.
  pitch::ResetPitchWorker(pitchWorker_);
  contour_.reset();
  hoverShown_ = -1;
  UpdateActions();
}

// The song's vocals recording when it names one that decodes, else its music.
void TMainForm::StartPitchTracking() {
  StopPitchTracking();
  std::shared_ptr<const songData::TPcmMusic> recording = context_.Music;
  const std::string vocalsPath = songData::FindVocalsFile(context_.Song);
  if (!vocalsPath.empty()) {
    try {
      SetStatusText("Loading vocals...");
      statusHeld_ = true;
      songData::TPcmMusic vocals;
      if (DecodeInBackground(vocalsPath, vocals).Cancelled)
        throw std::runtime_error("loading them was cancelled");
      if (!vocals.Samples.empty())
        recording = std::make_shared<const songData::TPcmMusic>(std::move(vocals));
    } catch (const std::exception& e) {
      // The music still shows what is sung, less clearly.
      SetStatusText(QString::fromStdString("Vocals not used: " +
                                           MyServis::WithoutTracePrefixes(MyServis::MessageOf(e))));
      statusHeld_ = true;
    }
  }
  if (!recording || recording->Samples.empty()) return;
  pitch::StartPitchWorker(pitchWorker_, std::move(recording), context_.Events);
}

void TMainForm::FinishPitchTracking() {
  pitch::WaitForPitchWorker(pitchWorker_);
  PitchProgress(100);
}

void TMainForm::PitchProgress(int value) {
  if (value < 100) return;
  contour_ = pitch::PitchContour(pitchWorker_);
  if (!contour_) return;
  ShowSungPitch->setChecked(!settings_ || ProgramSettings::ShowSungPitch(*settings_));
  Commit(chView, false);
}

void TMainForm::ChooseVocalsExecute() {
  StopIfPlaying();
  songData::TSong& song = context_.Song;
  const QString chosen = Dialogs.ChooseVocalsFile(QString::fromStdString(song.SongDir));
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toStdString();
  // Decoded first, so a file that fails changes nothing.
  songData::TPcmMusic check;
  if (DecodeInBackground(path, check).Cancelled) return;
  songData::SetTag(song.Tags, "#VOCALS", songData::FileTagValue(song.SongDir, path));
  Commit(chNotes, false);
  StartPitchTracking();
  SetStatusText("Tracking the sung pitch...");
}

void TMainForm::ShowSungPitchExecute() {
  if (settings_) ProgramSettings::StoreShowSungPitch(*settings_, ShowSungPitch->isChecked());
  Commit(chView, false);
}

void TMainForm::SnapToSungPitchExecute() {
  if (!contour_ || !MayEditNotes()) return;
  const bool hovering = View.HoverMode >= editor::hmLeftEdge && View.HoverMode <= editor::hmBody;
  const int changed =
      pitch::SnapToSungPitch(context_.Song, *contour_, hovering ? View.HoverIndex : -1);
  if (changed == 0) {
    SetStatusText("No note to change: none chosen, or no clear sung pitch");
    return;
  }
  Commit(chNotes, true);
}

// The hovered note's beat, length, pitch and text, after what was sung there
// when the sung pitch is known.
void TMainForm::ShowHoveredNote() {
  const songData::TSong& song = context_.Song;
  const bool onNote = View.HoverMode >= editor::hmLeftEdge && View.HoverMode <= editor::hmBody &&
                      View.HoverIndex >= 0 && std::size_t(View.HoverIndex) < song.Notes.size();
  if (!onNote) {
    hoverShown_ = -1;
    return;
  }
  if (View.HoverIndex == hoverShown_) return;
  hoverShown_ = View.HoverIndex;
  const songData::TNote& note = song.Notes[std::size_t(View.HoverIndex)];
  const QString facts = QString("Beat %1, length %2, %3, \"%4\"")
                            .arg(note.Start)
                            .arg(note.Length)
                            .arg(NoteName(double(note.Pitch) + song.Transpose))
                            .arg(QString::fromUtf8(note.Text.Str().c_str()));
  if (!contour_) {
    SetStatusText(facts);
    return;
  }
  const pitch::TSungNote sung = pitch::SungNote(*contour_, song, note);
  QString text = "Sung pitch: ";
  if (!sung.Suggested) {
    text += "not clear here";
  } else {
    text += NoteName(sung.Tone);
    if (*sung.Suggested != note.Pitch)
      text += QString(", suggested %1 (Ctrl+P)").arg(*sung.Suggested);
  }
  SetStatusText(text + "; " + facts);
}

} // namespace app
