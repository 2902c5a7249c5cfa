// Crash recovery: while the song has unsaved changes it is kept in the user's
// recovery folder, and the next start offers it back.
#include "app/main_form.h"
#include "song/recovery_file.h"
#include "song/recovery_writer.h"
#include "support/log.h"
#include "support/message_boxes.h"

#include <QTimer>
#include <filesystem>
#include <unistd.h>

namespace app {
namespace {

// A change after a write waits at most this long; a running change is written
// at least once a minute.
constexpr auto ShortestInterval = std::chrono::seconds(1);
constexpr int LongestIntervalMs = 60000;

std::string SongPathOf(const songData::TSong& song) {
  return song.SongDir + "/" + song.SongFileName;
}

void LogFailure(const std::string& message) {
  // Editing goes on; the log says why nothing was kept.
  try {
    MyServis::LogMessage("No recovery file: " + message);
  } catch (const std::exception&) {
  }
}

} // namespace

void TMainForm::WaitForRecovery() {
  if (recoveryWriter_) recoveryWriter_->Wait();
}

// `due` is the timer's call: it writes whatever the interval. A change writes at
// once unless the last write is under a second old; then the timer is set to
// write at the end of that second. The text is made here, the file written on
// the writer's thread.
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
  if (!recoveryWriter_) recoveryWriter_ = std::make_unique<songData::TRecoveryWriter>(LogFailure);
  const std::string file =
      songData::RecoveryFilePath(context_.RecoveryFolder, SongPathOf(song), ::getpid());
  if (recoveryKept_ && file != recoveryFile_) recoveryWriter_->Remove(recoveryFile_);
  recoveryWriter_->Write(file, songData::RecoveryText(song, diskStamp_));
  recoveryFile_ = file;
  recoveryKept_ = true;
  recoveryTime_ = now;
  RecoveryTimer->start(LongestIntervalMs);
}

void TMainForm::RemoveRecovery() {
  if (!recoveryKept_ || !recoveryWriter_) return;
  recoveryWriter_->Remove(recoveryFile_);
  recoveryKept_ = false;
  RecoveryTimer->stop();
}

// Each file left by an editor that ended without saving is offered in turn, newest
// first, until one is recovered; the others wait for the next start.
bool TMainForm::OfferRecovery() {
  if (context_.RecoveryFolder.empty()) return false;
  for (const std::string& file : songData::FindRecoveriesToOffer(context_.RecoveryFolder)) {
    try {
      songData::TRecovery recovery = songData::ParseRecoveryText(MyServis::ReadFileBytes(file));
      if (!Dialogs.AskRecover(QString::fromStdString(recovery.SongPath))) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        continue;
      }
      LoadSong(recovery.SongPath, &recovery.Content);
      // Saving checks the song file against what it was when the changes were made.
      diskStamp_ = recovery.DiskStamp;
      // This editor keeps its own copy from now on; the offered one goes after it.
      KeepRecovery(true);
      if (recoveryKept_ && file != recoveryFile_) recoveryWriter_->Remove(file);
      return true;
    } catch (const std::exception& e) {
      MyServis::ErrorBox(std::string("Can't recover unsaved changes: ") + e.what());
    }
  }
  return false;
}

} // namespace app
