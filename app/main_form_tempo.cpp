// Timing by ear: slowed playback, the position of what is heard, and the tempo
// and first beat found in the music.
#include "app/main_form.h"
#include "support/exceptions.h"
#include "support/program_settings.h"

#include <QComboBox>
#include <QProgressBar>
#include <cmath>

namespace app {

void TMainForm::SpeedBoxChange() {
  player::SetPlaybackSpeed(context_.Player, SpeedBox->currentData().toDouble());
}

void TMainForm::SlowerExecute() {
  SpeedBox->setCurrentIndex(std::min(SpeedBox->currentIndex() + 1, SpeedBox->count() - 1));
}

void TMainForm::FasterExecute() {
  SpeedBox->setCurrentIndex(std::max(SpeedBox->currentIndex() - 1, 0));
}

double TMainForm::HeardSongTime() const {
  const float heard = player::HeardPositionSeconds(context_.Player, latencyMs_ / 1000.0);
  return heard < 0 ? View.CursorTime : heard + context_.Song.MusicOffset;
}

void TMainForm::SettingsExecute() {
  const std::optional<int> latency = Dialogs.RunSettings(latencyMs_);
  if (!latency) return;
  latencyMs_ = std::clamp(*latency, 0, 1000);
  if (settings_) ProgramSettings::StoreAudioLatencyMs(*settings_, latencyMs_);
}

void TMainForm::DetectTempoExecute() {
  StopIfPlaying();
  // Held here while the detection reads it.
  const std::shared_ptr<const songData::TPcmMusic> music = context_.Music;
  if (!context_.Song.MusicLoaded || !music || music->Samples.empty())
    throw MyServis::EError("The song has no music to find the tempo in");
  SetStatusText("Detecting the tempo...");
  int shownPercent = -1;
  const std::optional<tempo::TTempoEstimate> estimate = tempo::DetectTempo(*music, [&](float done) {
    const int percent = static_cast<int>(done * 100);
    if (percent != shownPercent) {
      shownPercent = percent;
      Progress->setValue(percent);
      Progress->repaint();
    }
    return true;
  });
  Progress->setValue(0);
  SetStatusText({});
  if (!estimate) return;
  const std::optional<double> bpm = Dialogs.ChooseTempo(*estimate);
  if (!bpm) return;
  songData::TSong& song = context_.Song;
  song.BPM = *bpm;
  song.MusicOffset = -estimate->GapMs / 1000.0;
  Commit(chTiming, true);
}

} // namespace app
