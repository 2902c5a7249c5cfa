// The file commands: New Song, Open, Save, and what keeps unsaved work from
// being lost on the way.
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "song/safe_text.h"
#include "song/song_loader.h"
#include "song/song_tags.h"
#include "song/song_writer.h"
#include "song/time_scale.h"
#include "support/file_io.h"
#include "support/log.h"
#include "support/message_boxes.h"
#include "support/program_files.h"
#include "support/program_settings.h"
#include "support/runtime_errors.h"

#include <QAction>
#include <QFileInfo>
#include <QStringList>
#include <filesystem>

namespace app {
namespace {

// The window's steps of a load.
class TWindowLoadHost : public songData::TSongLoadHost {
public:
  explicit TWindowLoadHost(TMainForm& form) : form_(form) {}
  void DisableOpen() override {
    form_.SetLoading(true);
    form_.View.RangeStart = form_.View.RangeEnd = editor::NoRange;
  }
  void ShowSongParameters(const songData::TSong&) override {
    ReplacedSong = true;
    form_.ResetVoice();
    form_.ShowSongParameters();
  }
  void ShowTranspose(const songData::TSong&) override { form_.ShowTranspose(); }
  void UpdateBeatScale(const songData::TSong&) override { form_.UpdateBeatScale(); }
  void RebuildLyrics(songData::TSong&) override { form_.RebuildLyrics(); }
  void DrawView() override { form_.DrawView(); }
  void ReportReading(const songData::TReadingReport& report) override {
    Notices = songData::ReadingNotices(report);
  }
  void LoadMusic(songData::TSong&, const std::string& path) override {
    if (!form_.LoadMusic(path))
      Notices.push_back("Loading the music was cancelled.");
    else if (!form_.MusicNotice().empty())
      Notices.push_back(form_.MusicNotice());
  }
  void UpdateTimeline(const songData::TSong&) override { form_.UpdateTimeline(); }
  void StoreRecentSong(const std::string& path) override { StoredPath = path; }
  void EnableOpen() override { form_.SetLoading(false); }

  bool ReplacedSong = false; // the file was read and the model replaced
  std::string StoredPath;
  std::vector<std::string> Notices; // what reading converted or cannot keep

private:
  TMainForm& form_;
};

// The music file the song names when it is not there; empty when it names
// none, or it was found.
std::string MissingMusicName(const songData::TSong& song) {
  if (!songData::FindMusicFile(song).empty()) return {};
  std::string named = songData::TagValue(song.Tags, "#AUDIO");
  if (named.empty()) named = songData::TagValue(song.Tags, "#MP3");
  return songData::PrintableText(named);
}

std::string AbsolutePath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

} // namespace

void TMainForm::StopIfPlaying() {
  if (IsPlaying()) plStopExecute();
}

bool TMainForm::IsModified() const {
  return songOpen_ && baseline_.Differs(context_.Song);
}

void TMainForm::UpdateCaption() {
  const songData::TSong& song = context_.Song;
  if (!songOpen_ || song.SongFileName.empty()) {
    setWindowTitle("Chorvanta Song Editor");
    return;
  }
  setWindowTitle(QString::fromStdString(song.SongFileName) + "[*] - Chorvanta Song Editor");
  setWindowModified(IsModified());
}

bool TMainForm::MayReplaceSong() {
  if (!AskToReplaceSong()) return false;
  // Saved or given up: nothing is left to recover.
  RemoveRecovery();
  return true;
}

bool TMainForm::AskToReplaceSong() {
  if (!IsModified()) return true;
  switch (Dialogs.AskSaveChanges(QString::fromStdString(context_.Song.SongFileName))) {
  case TSaveAnswer::Discard:
    return true;
  case TSaveAnswer::Cancel:
    return false;
  case TSaveAnswer::Save:
    break;
  }
  try {
    SongSaveExecute();
  } catch (const std::exception& e) {
    MyServis::ErrorBox(e.what());
    return false;
  }
  return !IsModified();
}

void TMainForm::SetLoading(bool loading) {
  loadingDepth_ += loading ? 1 : -1;
  UpdateActions();
}

void TMainForm::SongOpenExecute() {
  StopIfPlaying();
  if (!MayReplaceSong()) return;
  QString startFolder;
  if (settings_) {
    const std::string recent = ProgramSettings::RecentSong(*settings_);
    if (!recent.empty() && MyServis::RegularFileExists(recent))
      startFolder = QString::fromStdString(MyServis::FolderOfPath(recent));
  }
  // Before any song was opened, the first Open shows the demo song that ships.
  const std::string demo = MyServis::ShippedFile("examples/demo/demo.txt");
  if (startFolder.isEmpty() && MyServis::RegularFileExists(demo))
    startFolder = QString::fromStdString(MyServis::FolderOfPath(demo));
  const QString chosen = Dialogs.ChooseSongFile(startFolder);
  if (!chosen.isEmpty()) LoadSong(chosen.toStdString());
}

void TMainForm::LoadSong(const std::string& path, const songData::TSongFileContent* recovered) {
  TWindowLoadHost host(*this);
  const std::string fullPath = AbsolutePath(path);
  const bool completed =
      songData::LoadSong(context_.Song, context_.History, fullPath, host, recovered);
  if (host.ReplacedSong) {
    songOpen_ = true;
    // Recovered changes are unsaved changes.
    baseline_.Capture(recovered ? songData::TSong{} : context_.Song);
    diskStamp_ = MyServis::FileStamp(fullPath);
    View.HoverIndex = -1;
    View.HoverMode = editor::hmNothing;
    if (!context_.Song.MusicLoaded) {
      DropMusic();
      const std::string missing = MissingMusicName(context_.Song);
      if (!missing.empty()) host.Notices.push_back("Music not found: " + missing);
    }
    StartPitchTracking();
  }
  // The recent song is stored once the load is complete; settings are optional.
  if (completed && settings_) {
    try {
      ProgramSettings::StoreRecentSong(*settings_, host.StoredPath);
    } catch (const std::exception& e) {
      MyServis::ErrorBox(e.what());
    }
  }
  // The load's own steps rebuilt the memo, the scale and the fields.
  Commit(chNotes, false);
  if (host.ReplacedSong && !host.Notices.empty()) ShowReadingNotices(host.Notices);
}

void TMainForm::ShowReadingNotices(const std::vector<std::string>& notices) {
  QStringList sentences;
  for (const std::string& notice : notices)
    sentences.append(QString::fromStdString(notice));
  SetStatusText(sentences.join(' '));
  // Told once, so the analysis that follows does not write over it.
  statusHeld_ = true;
}

void TMainForm::SongNewExecute() {
  StopIfPlaying();
  if (!MayReplaceSong()) return;
  newSongWnd_->SetUseBOM(context_.Song.UseBOM);
  // Where the last song was made, as long as that folder is there.
  if (settings_) {
    const std::string last = ProgramSettings::NewSongLocation(*settings_);
    std::error_code error;
    if (!last.empty() && std::filesystem::is_directory(last, error)) newSongWnd_->SetLocation(last);
  }
  if (!Dialogs.RunNewSongDialog()) return;
  CreateNewSong(newSongWnd_->Location(), newSongWnd_->SongName(), newSongWnd_->UseBOM());
}

void TMainForm::CreateNewSong(const std::string& location, const std::string& name, bool useBOM) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
    MyServis::ErrorBox("Not a name for a song folder: \"" + name + "\"");
    return;
  }
  const std::string folder = location + "/" + name;
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) {
    if (!MyServis::AskYesNo("Song directory already exists. Do you want to use it anyway?",
                            "Song directory already exists"))
      return;
  } else if (!std::filesystem::create_directory(folder, error)) {
    MyServis::ErrorBox("Can't create the song folder " + folder + ": " + error.message());
    return;
  }
  if (settings_) {
    try {
      ProgramSettings::StoreNewSongLocation(*settings_, AbsolutePath(location));
    } catch (const std::exception& e) {
      MyServis::LogMessage(std::string("The new song's location is not kept: ") + e.what());
    }
  }
  DropMusic();
  songData::TSong& song = context_.Song;
  song.UseBOM = useBOM;
  song.SongDir = AbsolutePath(folder);
  song.SongFileName =
      QFileInfo(QString::fromStdString(name)).suffix().isEmpty() ? name + ".txt" : name;
  song.Notes.clear();
  song.Tags.clear();
  song.MusicFileName.clear();
  View.HoverIndex = -1;
  View.HoverMode = editor::hmNothing;
  ResetVoice();
  // A new song starts a new history rather than adding a step to the old one.
  songData::PushUndo(context_.History, song, true);
  songOpen_ = true;
  baseline_.Capture(song);
  diskStamp_ = MyServis::FileStamp(song.SongDir + "/" + song.SongFileName);
  Commit(chSong, false);
}

void TMainForm::SongSaveExecute() {
  StopIfPlaying();
  songData::TSong& song = context_.Song;
  const std::string path = song.SongDir + "/" + song.SongFileName;
  // Another program's changes are not overwritten without asking.
  const std::optional<MyServis::TFileStamp> onDisk = MyServis::FileStamp(path);
  if (onDisk && onDisk != diskStamp_ &&
      !MyServis::AskYesNo("The song file " + song.SongFileName +
                              " was changed by another program since it was loaded or "
                              "saved. Overwrite it?",
                          "Song file changed"))
    return;
  // A failure names the file and the reason; the song stays as it is.
  try {
    songData::SaveSong(song);
  } catch (const MyServis::EReadOnlyFile&) {
    throw MyServis::EReadOnlyFile("The song file is read-only");
  }
  baseline_.Capture(song);
  diskStamp_ = MyServis::FileStamp(path);
  RemoveRecovery();
  UpdateCaption();
}

} // namespace app
