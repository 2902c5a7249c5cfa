#pragma once
// Whole-file reading and crash-safe writing of byte strings.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace MyServis {

// Files larger than this are refused unless a caller allows more.
inline constexpr std::uint64_t DefaultMaxFileBytes = std::uint64_t(64) << 20;

// The whole content of a regular file of at most maxBytes. A FIFO, a device or a
// folder is refused rather than read, since reading it may block or never end; so
// is a file that grows past maxBytes while it is read (files under /proc give no
// size). EInOutError naming the file and the reason otherwise.
std::string ReadFileBytes(const std::string& path, std::uint64_t maxBytes = DefaultMaxFileBytes);

// "64 MB", "2 GB": a limit as the messages name it.
std::string ByteLimitText(std::uint64_t bytes);

bool RegularFileExists(const std::string& path);

// The file a path leads to through symbolic links; the path itself when it leads nowhere.
std::string ResolvedPath(const std::string& path);

// The folder part of a path (without the trailing separator, "." when it has
// none) and its name part.
std::string FolderOfPath(const std::string& path);
std::string NameOfPath(const std::string& path);

// The running program's file and its folder (without a trailing separator).
std::string ProgramFilePath();
std::string ProgramFolder();

// A new version of a file, written beside it and renamed over it on Commit, so
// the file on disk is at every moment either the old or the new one. Dropping an
// uncommitted TAtomicFile removes what it wrote. Failures are EInOutError naming
// the target and the system's reason.
class TAtomicFile {
public:
  explicit TAtomicFile(std::string path);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  void Write(std::string_view bytes);
  // Flushes the new content to disk and renames it over the target.
  void Commit();

private:
  [[noreturn]] void Fail(const std::string& what, int error);
  std::string path_;
  std::string tempPath_;
  int fd_ = -1;
};

void WriteFileAtomically(const std::string& path, std::string_view bytes);

// When a file was last written and how long it is, to tell whether another
// program changed it; none when the file does not exist.
struct TFileStamp {
  std::int64_t ModifiedNanoseconds = 0;
  std::uint64_t Size = 0;
  bool operator==(const TFileStamp&) const = default;
};
std::optional<TFileStamp> FileStamp(const std::string& path);

// Faults a test injects into TAtomicFile, as a read-only folder, a full disk or a
// stop between writing and renaming would cause them; none by default. Set by a
// test on the thread that writes, before the writes it faults.
struct TWriteFaults {
  int CreateError = 0; // creating the temporary file fails with this errno
  std::size_t BytesBeforeDiskFull = static_cast<std::size_t>(-1);
  bool StopBeforeRename = false; // the new content is on disk, the target untouched
};
void SetWriteFaults(const TWriteFaults& faults);

// Keeps the file's present content under a second name without overwriting an
// existing file there. Returns false (and changes nothing) when that fails.
bool KeepCopyNoReplace(const std::string& path, const std::string& copyPath);

} // namespace MyServis
