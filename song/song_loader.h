#pragma once
// Loading a song into the model: the reader's result, then the steps around it in
// their fixed order. The window performs its own steps through TSongLoadHost.
#include "song/reading_report.h"
#include "song/song_model.h"
#include "song/song_reader.h"
#include "song/undo_history.h"

#include <string>

namespace songData {

// The window-side steps of a load; every one does nothing by default.
class TSongLoadHost {
public:
  virtual ~TSongLoadHost() = default;
  virtual void DisableOpen() {} // also clears the range selection
  virtual void ShowSongParameters(const TSong&) {}
  virtual void ShowTranspose(const TSong&) {} // the transpose box and the scroll bar
  virtual void UpdateBeatScale(const TSong&) {}
  virtual void RebuildLyrics(TSong&) {}
  virtual void DrawView() {}
  // Once the read song is in the model and drawn, before its music: what reading
  // converted or could not keep (ReadingNotices has a sentence for each fact).
  virtual void ReportReading(const TReadingReport&) {}
  // Decodes the music; on success sets song.MusicLoaded and song.MusicFileName.
  virtual void LoadMusic(TSong&, const std::string& /*path*/) {}
  virtual void UpdateTimeline(const TSong&) {}
  virtual void StoreRecentSong(const std::string& /*path*/) {}
  virtual void EnableSongActions() {}
  virtual void EnableOpen() {}
};

// "Exception during song loading: " goes in front of a failure's message, but
// for a file that is not a song file.
inline constexpr const char* SongLoadFailureText = "Exception during song loading: ";

// Reads the file and performs the load's steps in order; throws on failure. A
// failure while reading leaves the model as it was, but for UseBOM; once the
// song is read, the first save keeps its file as ".bak", also when a later step
// (such as the music) fails. A recovered
// content is loaded as the song at path in place of what the file holds.
void LoadSongSteps(TSong& song, TUndoHistory& history, const std::string& path, TSongLoadHost& host,
                   const TSongFileContent* recovered = nullptr);
// The whole command: a failure is shown in an error box and Open is enabled again.
// Returns whether every step completed.
bool LoadSong(TSong& song, TUndoHistory& history, const std::string& path, TSongLoadHost& host,
              const TSongFileContent* recovered = nullptr);

// The music a song names: "#AUDIO" beside the song, else "#MP3", else the song's
// own name with ".mp3" for ".txt". Empty when none exists.
std::string FindMusicFile(const TSong& song);

// The vocals-only recording the song names in "#VOCALS", beside the song. Empty
// when none is named or the file does not exist.
std::string FindVocalsFile(const TSong& song);

// How a tag such as "#MP3" names a file: by its name beside the song, else by
// its path relative to the song's folder.
std::string FileTagValue(const std::string& songDir, const std::string& filePath);

// The path with the first ".txt" of its file name (any case) replaced; empty without one.
std::string ReplaceTxtExtension(const std::string& name, const std::string& extension);

} // namespace songData
