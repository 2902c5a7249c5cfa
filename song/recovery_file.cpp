#include "song/recovery_file.h"

#include "song/song_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

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

// File names stay far below the system's limit of 255 bytes whatever the song's
// name; the cut never splits a UTF-8 character.
std::string ShortName(std::string name) {
  constexpr std::size_t Longest = 100;
  if (name.size() <= Longest) return name;
  std::size_t end = Longest;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
    --end;
  return name.substr(0, end);
}

std::string Escaped(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

// The next line of bytes from pos, without its LF (and a CR before it).
std::string_view TakeLine(std::string_view bytes, std::size_t& pos) {
  const std::size_t end = std::min(bytes.find('\n', pos), bytes.size());
  std::string_view line = bytes.substr(pos, end - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  pos = std::min(end + 1, bytes.size());
  return line;
}

std::optional<MyServis::TFileStamp> ParseStamp(std::string_view text) {
  MyServis::TFileStamp stamp;
  const char* end = text.data() + text.size();
  auto [afterTime, timeError] = std::from_chars(text.data(), end, stamp.ModifiedNanoseconds);
  if (timeError != std::errc() || afterTime == end || *afterTime != ' ') return std::nullopt;
  auto [afterSize, sizeError] = std::from_chars(afterTime + 1, end, stamp.Size);
  if (sizeError != std::errc() || afterSize != end) return std::nullopt;
  return stamp;
}

// The process id in "NAME.HASH.PID.recovery"; 0 for files of older versions.
int KeeperOf(const fs::path& file) {
  const std::string stem = file.stem().string();
  const std::size_t dot = stem.rfind('.');
  if (dot == std::string::npos) return 0;
  const std::string digits = stem.substr(dot + 1);
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  // Older names end in the 16-digit hash, which is no process id.
  return std::stoi(digits);
}

// Another editor that is running keeps its own file up to date. A file with this
// process's own id was left by an earlier process that had the same id.
bool KeptByAnotherRunningEditor(int processId) {
  if (processId <= 0 || processId == ::getpid()) return false;
  return ::kill(processId, 0) == 0 || errno == EPERM;
}

} // namespace

std::string RecoveryFilePath(const std::string& folder, const std::string& songPath,
                             int processId) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PathHash(songPath)));
  return folder + "/" + ShortName(MyServis::NameOfPath(songPath)) + "." + hash + "." +
         std::to_string(processId) + ".recovery";
}

std::string RecoveryText(const TSong& song, const std::optional<MyServis::TFileStamp>& diskStamp) {
  TSong copy = song; // writing brings the header numbers up to date
  std::string text = std::string(RecoveryMark) + Escaped(song.SongDir + "/" + song.SongFileName) +
                     "\n" + std::string(RecoveryDiskMark);
  text += diskStamp ? std::to_string(diskStamp->ModifiedNanoseconds) + " " +
                          std::to_string(diskStamp->Size)
                    : std::string("none");
  return text + "\n" + SongFileText(copy);
}

TRecovery ParseRecoveryText(std::string_view bytes) {
  if (bytes.substr(0, RecoveryMark.size()) != RecoveryMark ||
      bytes.find('\n') == std::string_view::npos)
    throw ESongReadError("Not a recovery file", 1, false);
  std::size_t pos = 0;
  TRecovery recovery;
  recovery.SongPath = Unescaped(TakeLine(bytes, pos).substr(RecoveryMark.size()));
  if (recovery.SongPath.empty() || recovery.SongPath.front() != '/' ||
      recovery.SongPath.find('\0') != std::string::npos)
    throw ESongReadError("A recovery file without its song's path", 1, false);
  // Files of older versions have no stamp: their song counts as changed on disk.
  std::size_t next = pos;
  const std::string_view second = TakeLine(bytes, next);
  if (second.substr(0, RecoveryDiskMark.size()) == RecoveryDiskMark) {
    recovery.DiskStamp = ParseStamp(second.substr(RecoveryDiskMark.size()));
    pos = next;
  }
  recovery.Content = ParseSongText(bytes.substr(pos));
  return recovery;
}

void WriteRecoveryFile(const std::string& path, std::string_view text) {
  std::error_code ignored;
  fs::create_directories(MyServis::FolderOfPath(path), ignored);
  MyServis::WriteFileAtomically(path, text);
}

std::vector<std::string> FindRecoveriesToOffer(const std::string& folder) {
  std::error_code error;
  std::vector<std::pair<fs::file_time_type, std::string>> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".recovery" || !entry.is_regular_file(error)) continue;
    if (KeptByAnotherRunningEditor(KeeperOf(entry.path()))) continue;
    const std::string path = entry.path().string();
    std::string songPath;
    try {
      songPath = ParseRecoveryText(MyServis::ReadFileBytes(path)).SongPath;
    } catch (const std::exception&) {
      continue;
    }
    // A song whose folder is gone (an unplugged drive, or a path no save made)
    // cannot be recovered in place.
    if (!fs::is_directory(MyServis::FolderOfPath(songPath), error)) continue;
    const fs::file_time_type written = entry.last_write_time(error);
    if (error) continue;
    const fs::file_time_type saved = fs::last_write_time(songPath, error);
    if (!error && saved >= written) {
      fs::remove(entry.path(), error); // a later save won
      continue;
    }
    error.clear();
    found.emplace_back(written, path);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
  std::vector<std::string> paths;
  for (auto& [written, path] : found)
    paths.push_back(std::move(path));
  return paths;
}

} // namespace songData
