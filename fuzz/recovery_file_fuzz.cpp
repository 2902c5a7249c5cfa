// Any bytes as a recovery file left by an earlier run: reading trusts nothing in
// it, a file it accepts names an absolute song path, and its song writes back
// into a recovery file that reads again with the same path, stamp and records.
#include "require.h"
#include "song/recovery_file.h"
#include "song/song_model.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace songData;
  TRecovery recovery;
  try {
    recovery = ParseRecoveryText(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const ESongReadError&) {
    return 0;
  }
  Require(!recovery.SongPath.empty() && recovery.SongPath.front() == '/');
  Require(recovery.Content.Notes.size() <= MaxFileRecords);
  TSong song;
  const std::size_t slash = recovery.SongPath.rfind('/');
  song.SongDir = recovery.SongPath.substr(0, slash);
  song.SongFileName = recovery.SongPath.substr(slash + 1);
  song.Tags = recovery.Content.Tags;
  song.Notes = recovery.Content.Notes;
  const TRecovery again = ParseRecoveryText(RecoveryText(song, recovery.DiskStamp));
  Require(again.SongPath == recovery.SongPath);
  Require(again.DiskStamp == recovery.DiskStamp);
  Require(again.Content.Notes.size() == song.Notes.size());
  return 0;
}
