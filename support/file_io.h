#pragma once
// Whole-file reading and crash-safe writing of byte strings.
#include <string>
#include <string_view>

namespace MyServis {

// EInOutError naming the file and the system's reason when it cannot be read.
std::string ReadFileBytes(const std::string& path);

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

// Keeps the file's present content under a second name without overwriting an
// existing file there. Returns false (and changes nothing) when that fails.
bool KeepCopyNoReplace(const std::string& path, const std::string& copyPath);

} // namespace MyServis
