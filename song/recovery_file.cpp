#include "song/recovery_file.h"

#include "song/song_writer.h"
#include "support/file_io.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace songData {
namespace {

namespace fs = std::filesystem;

// FNV-1a: songs of the same name in different folders get different files.
std::uint64_t PathHash(std::string_view path) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string SongPathOf(const TSong& song) {
  return song.SongDir + "/" + song.SongFileName;
}

} // namespace

std::string RecoveryFilePath(const std::string& folder, const std::string& songPath) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PathHash(songPath)));
  return folder + "/" + MyServis::NameOfPath(songPath) + "." + hash + ".recovery";
}

std::string RecoveryText(const TSong& song) {
  TSong copy = song; // writing brings the header numbers up to date
  return std::string(RecoveryMark) + SongPathOf(song) + "\n" + SongFileText(copy);
}

TRecovery ParseRecoveryText(std::string_view bytes) {
  const std::size_t end = bytes.find('\n');
  if (bytes.substr(0, RecoveryMark.size()) != RecoveryMark || end == std::string_view::npos)
    throw ESongReadError("Not a recovery file", 1, false);
  TRecovery recovery;
  recovery.SongPath = std::string(bytes.substr(RecoveryMark.size(), end - RecoveryMark.size()));
  if (recovery.SongPath.empty() || recovery.SongPath.front() != '/' ||
      recovery.SongPath.find('\0') != std::string::npos)
    throw ESongReadError("A recovery file without its song's path", 1, false);
  recovery.Content = ParseSongText(bytes.substr(end + 1));
  return recovery;
}

void WriteRecoveryFile(const std::string& folder, const TSong& song) {
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  MyServis::WriteFileAtomically(RecoveryFilePath(folder, SongPathOf(song)), RecoveryText(song));
}

void RemoveRecoveryFile(const std::string& folder, const std::string& songPath) {
  std::error_code ignored;
  fs::remove(RecoveryFilePath(folder, songPath), ignored);
}

std::optional<std::string> FindRecoveryToOffer(const std::string& folder) {
  std::error_code error;
  std::optional<std::string> newest;
  fs::file_time_type newestTime{};
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".recovery" || !entry.is_regular_file(error)) continue;
    const std::string path = entry.path().string();
    std::string songPath;
    try {
      const std::string bytes = MyServis::ReadFileBytes(path);
      songPath = ParseRecoveryText(bytes).SongPath;
    } catch (const std::exception&) {
      continue;
    }
    const fs::file_time_type written = entry.last_write_time(error);
    if (error) continue;
    const fs::file_time_type saved = fs::last_write_time(songPath, error);
    if (!error && saved >= written) {
      fs::remove(entry.path(), error); // a later save won
      continue;
    }
    error.clear();
    if (!newest || written > newestTime) {
      newest = path;
      newestTime = written;
    }
  }
  return newest;
}

} // namespace songData
