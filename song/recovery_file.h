#pragma once
// Crash recovery: a copy of a song with unsaved changes, kept in a folder of the
// user's own (never beside the song), one file per song and editor process, so
// that a crash, a killed process or a power cut loses at most the last second of
// work, and two editors on one song never remove each other's copy.
#include "song/song_model.h"
#include "song/song_reader.h"
#include "support/file_io.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace songData {

// The first line of every recovery file; the song's full path follows it, with
// "\", CR and LF escaped so that no name can end the line early.
inline constexpr std::string_view RecoveryMark = "#CHORVANTA-RECOVERY:";
// The second line: the song file as it was last loaded or saved ("none" when it
// did not exist), so that saving the recovered song still asks before it
// overwrites another program's changes.
inline constexpr std::string_view RecoveryDiskMark = "#CHORVANTA-DISK:";

struct TRecovery {
  std::string SongPath; // the song file the changes belong to
  std::optional<MyServis::TFileStamp> DiskStamp;
  TSongFileContent Content;
};

// The recovery file of the song at songPath kept by the editor process processId.
std::string RecoveryFilePath(const std::string& folder, const std::string& songPath, int processId);
// The mark lines, then the song as a save would write it; the song is not changed.
std::string RecoveryText(const TSong& song, const std::optional<MyServis::TFileStamp>& diskStamp);
// Throws ESongReadError when the bytes are not a recovery file or name no
// absolute song path.
TRecovery ParseRecoveryText(std::string_view bytes);

// Writes a recovery file atomically, making its folder when missing. Throws EInOutError.
void WriteRecoveryFile(const std::string& path, std::string_view text);

// The recovery files in folder worth offering, newest first: newer than their
// song (or the song is gone), naming a song in a folder that exists, and not kept
// by another editor that is still running. Files older than their songs are stale
// (a later save won) and are removed; files that cannot be read are left alone.
std::vector<std::string> FindRecoveriesToOffer(const std::string& folder);

} // namespace songData
