// Playback: Play and Stop, the mixer, the 20 ms timer, and loading music.
#include "app/input_blocker.h"
#include "app/main_form.h"
#include "audio/music_loader.h"
#include "song/song_loader.h"
#include "song/song_tags.h"
#include "support/file_io.h"

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <atomic>
#include <cmath>
#include <exception>
#include <filesystem>
#include <thread>

namespace app {
namespace {

// Music seconds from the music's start to a second after the song's last note:
// how long a song without music plays its tones.
double SilenceSeconds(const songData::TSong& song) {
  std::int64_t endBeat = 0;
  for (const songData::TNote& note : song.Notes)
    endBeat = std::max(endBeat, std::int64_t(note.Start) + note.Length);
  return static_cast<double>(endBeat) * 60.0 / (song.BPM * 4) - song.MusicOffset + 1.0;
}

// Loading for as long as the scope lasts, however it is left.
class TLoadingScope {
public:
  explicit TLoadingScope(TMainForm& form) : form_(form) { form_.SetLoading(true); }
  ~TLoadingScope() { form_.SetLoading(false); }
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;

private:
  TMainForm& form_;
};

} // namespace

bool TMainForm::IsPlaying() const {
  return playbackOn_;
}

void TMainForm::SetEditingEnabled(bool enabled) {
  for (QWidget* control : {static_cast<QWidget*>(editGAP), static_cast<QWidget*>(editBPM),
                           static_cast<QWidget*>(EditVGap), static_cast<QWidget*>(Lyrics)})
    control->setEnabled(enabled);
}

void TMainForm::plPlayExecute() {
  if (IsPlaying()) plStopExecute();
  player::PublishPlayerSong(context_.Player, context_.Song, View.Voice);
  const auto start = static_cast<float>(View.CursorTime - context_.Song.MusicOffset);
  if (context_.Song.MusicLoaded && context_.Music)
    player::PlayMusic(context_.Player, context_.Music, start);
  else
    player::PlaySilence(context_.Player, SilenceSeconds(context_.Song), start);
  FollowCursor(true, false);
  playbackOn_ = true;
  SetEditingEnabled(false);
  UpdateActions();
}

void TMainForm::plStopExecute() {
  // The cursor stays at the song time last heard, not at what was mixed ahead of it.
  if (player::PlayerState(context_.Player) == player::psPlaying) View.CursorTime = HeardSongTime();
  player::StopMusic(context_.Player);
  player::StopTone(context_.Player);
  playbackOn_ = false;
  SetEditingEnabled(true);
  UpdateActions();
  SetStatusText({});
  Progress->setValue(0);
}

void TMainForm::MixBarChange() {
  const int position = MixBar->value();
  player::SetMusicVolume(context_.Player, 100 - 10 * position);
  player::SetToneMix(context_.Player, 10 * position);
  Scroll->setFocus();
}

void TMainForm::TimerTimer() {
  player::ShowPlayerFailures(context_.Player);
  ShowSilentOutputOnce();
  const player::TPlayerState state = player::PlayerState(context_.Player);
  if (state == player::psPlaying || state == 2) {
    const float duration = songData::MusicDuration(context_.Music);
    if (duration > 0)
      Progress->setValue(static_cast<int>(
          std::nearbyint((HeardSongTime() - context_.Song.MusicOffset) * 100 / duration)));
    SetStatusText("Playing...");
    FollowCursor(false, false);
  }
  if (state == player::psFinished && playbackOn_) plStopExecute();
  DrawLineDisplay();
  const std::int32_t currentTone = SoundingTone();
  if (currentTone != lastCurrentTone_ || View.HoverTone != lastHoverTone_) {
    KeyboardPaint();
    lastCurrentTone_ = currentTone;
    lastHoverTone_ = View.HoverTone;
  }
  EventMan::ProcessThreadEvents(context_.Events);
  UpdateCaption();
}

void TMainForm::ShowSilentOutputOnce() {
  // A held text goes first; this one waits for the panel to be free.
  if (silentShown_ || statusHeld_ || !context_.Player.Output || !context_.Player.Output->IsSilent())
    return;
  silentShown_ = true;
  SetStatusText("No sound device: playing silently");
}

void TMainForm::ChooseMusicExecute() {
  StopIfPlaying();
  songData::TSong& song = context_.Song;
  const QString chosen = Dialogs.ChooseMusicFile(QString::fromStdString(song.SongDir));
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toStdString();
  if (!LoadMusic(path)) return;
  StartPitchTracking();
  // The song keeps the music it was given, or the next open finds none.
  const std::string music = songData::FileTagValue(song.SongDir, path);
  songData::SetTag(song.Tags, "#MP3", music);
  // "#AUDIO" wins over "#MP3" when the song has it, so it must name the choice too.
  if (songData::FindTag(song.Tags, "#AUDIO")) songData::SetTag(song.Tags, "#AUDIO", music);
  Commit(chTiming, false);
}

bool TMainForm::LoadMusic(const std::string& path) {
  songData::TSong& song = context_.Song;
  // Cancelled or failed, the load leaves no music rather than the previous one.
  DropMusic();
  const TLoadingScope loading(*this);
  musicNotice_.clear();
  View.CursorTime = song.MusicOffset;
  DrawView();
  SetStatusText("Loading music...");
  statusHeld_ = true; // the timer's texts wait while the window goes on during the decode
  songData::TPcmMusic decoded;
  const MusicLoader::TDecodeOutcome outcome = DecodeInBackground(path, decoded);
  if (outcome.Cancelled) {
    SetStatusText("Loading the music was cancelled");
    statusHeld_ = true;
    return false;
  }
  context_.Music = std::make_shared<const songData::TPcmMusic>(std::move(decoded));
  SetStatusText("Analysing...");
  analyser::CreateSpectrumStrips(context_.Analyser, *context_.Music);
  analyser::StartAnalysers(context_.Analyser, context_.Music, context_.Events);
  MixBarChange();
  SetStatusText("Music loaded successfully!");
  musicNotice_ = outcome.Notice;
  if (!musicNotice_.empty()) {
    SetStatusText(QString::fromStdString(musicNotice_));
    statusHeld_ = true;
  }
  song.MusicLoaded = true;
  song.MusicFileName = MyServis::NameOfPath(path);
  DrawView();
  return true;
}

// The decode runs on a thread of its own while the window goes on painting, with
// a Cancel button beside the progress bar; a failure is thrown here, on the GUI
// thread.
MusicLoader::TDecodeOutcome TMainForm::DecodeInBackground(const std::string& path,
                                                          songData::TPcmMusic& music) {
  std::atomic<float> fraction{0};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> finished{false};
  MusicLoader::TDecodeOutcome outcome;
  std::exception_ptr failure;
  MusicLoader::TDecodeOptions options;
  options.Progress = [&](float done) {
    fraction = done;
    return !cancelled.load();
  };
  Progress->setValue(0);
  Progress->setFixedWidth(50);
  CancelLoad->show();
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    Progress->setValue(static_cast<int>(fraction * 100));
    if (finished) loop.quit();
  });
  const QMetaObject::Connection cancel =
      QObject::connect(CancelLoad, &QPushButton::clicked, &loop, [&] { cancelled = true; });
  std::thread worker([&] {
    try {
      outcome = MusicLoader::DecodeMusic(path, options, music);
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
  });
  {
    TInputBlocker blocker(CancelLoad);
    poll.start(30);
    loop.exec();
  }
  worker.join();
  QObject::disconnect(cancel);
  CancelLoad->hide();
  Progress->setFixedWidth(100);
  if (failure) std::rethrow_exception(failure);
  Progress->setValue(100);
  return outcome;
}

void TMainForm::DropMusic() {
  StopIfPlaying();
  analyser::StopAnalysers(context_.Analyser);
  StopPitchTracking();
  context_.Analyser.SpectrumStrips.clear();
  context_.Music.reset();
  context_.Song.MusicLoaded = false;
}

void TMainForm::AnalyserProgress(int value) {
  if (!statusHeld_) SetStatusText(value > 99 ? "Done" : "Analysing...");
  Progress->setValue(value);
  DrawView();
}

void TMainForm::SetStatusText(const QString& text) {
  statusHeld_ = false;
  StatusPanels[3]->setText(text);
  // A text longer than the panel can still be read in full.
  StatusPanels[3]->setToolTip(text);
}

} // namespace app
