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

// Whether the file exists and the caller may not write it. Root may write
// every file, so for root a file without any write bit counts as read-only.
bool IsReadOnlyFile(const std::string& path);

// A new version of a file. A regular file, or a missing one, is written beside
// itself under a short temporary name and renamed over on Commit, so the file
// on disk is at every moment either the old or the new one; the new file keeps
// the old one's mode, and its owner and group where the process may set them.
// A symbolic link is followed and its target replaced, so the link stays a
// link. A device, a FIFO or another special file cannot be replaced: it is
// opened and written in place. Dropping an uncommitted TAtomicFile removes what
// it wrote. Each new temporary file first removes the ones that stopped saves
// of this program left in that folder. A file the caller may not write is
// refused with EReadOnlyFile; other failures are EInOutError naming the target
// and the system's reason.
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
  void OpenInPlace();
  void CreateTemporary();
  std::string path_;   // as given, for messages
  std::string target_; // the file the links lead to
  std::string tempPath_;
  int fd_ = -1;
  bool inPlace_ = false;
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
