#pragma once
// Crash recovery: a copy of a song with unsaved changes, kept in a folder of the
// user's own (never beside the song), one file per song, so that a crash, a
// killed process or a power cut loses at most the last few seconds of work.
#include "song/song_model.h"
#include "song/song_reader.h"

#include <optional>
#include <string>
#include <string_view>

namespace songData {

// The first line of every recovery file; the song's full path follows it.
inline constexpr std::string_view RecoveryMark = "#CHORVANTA-RECOVERY:";

struct TRecovery {
  std::string SongPath; // the song file the changes belong to
  TSongFileContent Content;
};

// The recovery file of the song at songPath in folder.
std::string RecoveryFilePath(const std::string& folder, const std::string& songPath);
// The mark line, then the song as a save would write it; the song is not changed.
std::string RecoveryText(const TSong& song);
// Throws ESongReadError when the bytes are not a recovery file.
TRecovery ParseRecoveryText(std::string_view bytes);

// Writes the song's recovery file atomically, making the folder when missing.
// Throws EInOutError.
void WriteRecoveryFile(const std::string& folder, const TSong& song);
// Removes the song's recovery file, if any.
void RemoveRecoveryFile(const std::string& folder, const std::string& songPath);

// The newest recovery file in folder that is newer than its song (or whose song
// is gone). Files older than their songs are stale: a later save won, and they
// are removed. Files that cannot be read are left alone.
std::optional<std::string> FindRecoveryToOffer(const std::string& folder);

} // namespace songData
