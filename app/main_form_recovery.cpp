// Crash recovery: while the song has unsaved changes it is kept in the user's
// recovery folder, and the next start offers it back.
#include "app/main_form.h"
#include "song/recovery_file.h"
#include "support/log.h"
#include "support/message_boxes.h"

#include <QTimer>
#include <filesystem>

namespace app {
namespace {

// A change after a write waits this long; a running change is written at least
// once a minute.
constexpr auto ShortestInterval = std::chrono::seconds(5);
constexpr int LongestIntervalMs = 60000;

std::string SongPathOf(const songData::TSong& song) {
  return song.SongDir + "/" + song.SongFileName;
}

} // namespace

// `due` is the timer's call: it writes whatever the interval. A change writes at
// once unless the last write is under five seconds old; then the timer is set to
// write at the end of those five seconds.
void TMainForm::KeepRecovery(bool due) {
  const songData::TSong& song = context_.Song;
  if (context_.RecoveryFolder.empty() || !songOpen_ || song.SongFileName.empty()) return;
  if (!IsModified()) {
    RemoveRecovery();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (!due && recoveryKept_ && now - recoveryTime_ < ShortestInterval) {
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(recoveryTime_ +
                                                                            ShortestInterval - now);
    if (!RecoveryTimer->isActive() || RecoveryTimer->remainingTime() > wait.count())
      RecoveryTimer->start(int(wait.count()));
    return;
  }
  try {
    songData::WriteRecoveryFile(context_.RecoveryFolder, song);
    recoveryKept_ = true;
  } catch (const std::exception& e) {
    // Editing goes on; the log says why nothing was kept.
    try {
      MyServis::LogMessage(std::string("No recovery file: ") + e.what());
    } catch (const std::exception&) {
    }
  }
  recoveryTime_ = now;
  RecoveryTimer->start(LongestIntervalMs);
}

void TMainForm::RemoveRecovery() {
  if (context_.RecoveryFolder.empty() || !recoveryKept_) return;
  songData::RemoveRecoveryFile(context_.RecoveryFolder, SongPathOf(context_.Song));
  recoveryKept_ = false;
  RecoveryTimer->stop();
}

bool TMainForm::OfferRecovery() {
  if (context_.RecoveryFolder.empty()) return false;
  try {
    const std::optional<std::string> file = songData::FindRecoveryToOffer(context_.RecoveryFolder);
    if (!file) return false;
    songData::TRecovery recovery = songData::ParseRecoveryText(MyServis::ReadFileBytes(*file));
    if (!Dialogs.AskRecover(QString::fromStdString(MyServis::NameOfPath(recovery.SongPath)))) {
      std::error_code ignored;
      std::filesystem::remove(*file, ignored);
      return false;
    }
    LoadSong(recovery.SongPath, &recovery.Content);
    // The recovery file stays until the song is saved or its changes discarded.
    recoveryKept_ = IsModified();
    return true;
  } catch (const std::exception& e) {
    MyServis::ErrorBox(std::string("Can't recover unsaved changes: ") + e.what());
    return false;
  }
}

} // namespace app
