#include "song/song_loader.h"

#include "song/song_reader.h"
#include "song/song_tags.h"
#include "support/file_io.h"
#include "support/message_boxes.h"
#include "support/string_utils.h"

#include <filesystem>

namespace songData {

std::string ReplaceTxtExtension(const std::string& path, const std::string& extension) {
  std::size_t nameStart = path.rfind('/');
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t at = MyServis::FindText(std::string_view(path).substr(nameStart), ".txt");
  if (at == std::string::npos) return std::string();
  std::string result = path;
  result.replace(nameStart + at, 4, extension);
  return result;
}

std::string FindMusicFile(const TSong& song) {
  // Newer files name the music "#AUDIO" and may keep "#MP3" for older programs.
  for (std::string_view tag : {"#AUDIO", "#MP3"}) {
    std::string named = song.SongDir + "/" + TagValue(song.Tags, tag);
    if (MyServis::RegularFileExists(named)) return named;
  }
  std::string sameName = ReplaceTxtExtension(song.SongFileName, ".mp3");
  if (!sameName.empty() && MyServis::RegularFileExists(song.SongDir + "/" + sameName))
    return song.SongDir + "/" + sameName;
  return std::string();
}

std::string FindVocalsFile(const TSong& song) {
  const std::string named = TagValue(song.Tags, "#VOCALS");
  if (named.empty()) return std::string();
  const std::string path = song.SongDir + "/" + named;
  return MyServis::RegularFileExists(path) ? path : std::string();
}

std::string FileTagValue(const std::string& songDir, const std::string& filePath) {
  namespace fs = std::filesystem;
  const fs::path file = fs::absolute(filePath).lexically_normal();
  const fs::path relative = file.lexically_relative(fs::absolute(songDir).lexically_normal());
  return relative.empty() ? file.string() : relative.string();
}

void LoadSongSteps(TSong& song, TUndoHistory& history, const std::string& path, TSongLoadHost& host,
                   const TSongFileContent* recovered) {
  TSongFileContent content;
  try {
    content = recovered ? *recovered : ReadSongFile(path);
  } catch (const ESongReadError& e) {
    song.UseBOM = e.UseBOM;
    throw;
  }
  song.UseBOM = content.UseBOM;
  song.Tags = std::move(content.Tags);
  song.SongDir = MyServis::FolderOfPath(path);
  song.SongFileName = MyServis::NameOfPath(path);
  // The first save keeps this file as ".bak", whatever happens to the music.
  song.BackupPending = true;
  THeaderNumbers numbers = ReadHeaderNumbers(song.Tags);
  song.BPM = numbers.BPM;
  song.MusicOffset = numbers.MusicOffset;
  song.VideoGap = numbers.VideoGap;
  host.ShowSongParameters(song);
  song.Notes = std::move(content.Notes);
  song.Transpose = GuessTranspose(song.Notes);
  host.ShowTranspose(song);
  host.UpdateBeatScale(song);
  PushUndo(history, song, true);
  // The lyrics follow the notes in time order.
  SortNotes(song);
  host.RebuildLyrics(song);
  host.DrawView();
  host.ReportReading(content.Report);
  song.MusicLoaded = false;
  std::string music = FindMusicFile(song);
  if (!music.empty()) host.LoadMusic(song, music);
  host.UpdateTimeline(song);
  host.StoreRecentSong(path);
  host.EnableSongActions();
}

bool LoadSong(TSong& song, TUndoHistory& history, const std::string& path, TSongLoadHost& host,
              const TSongFileContent* recovered) {
  host.DisableOpen();
  bool completed = false;
  try {
    LoadSongSteps(song, history, path, host, recovered);
    completed = true;
  } catch (const ENotASongFile& e) {
    MyServis::ErrorBox(e.what()); // says all there is to say
  } catch (const std::exception& e) {
    MyServis::ErrorBox(std::string(SongLoadFailureText) + e.what());
  }
  host.DrawView();
  host.EnableOpen();
  return completed;
}

} // namespace songData
