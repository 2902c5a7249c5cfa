#include "support/file_io.h"

#include "support/runtime_errors.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace MyServis {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

} // namespace

std::string FolderOfPath(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOfPath(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ByteLimitText(std::uint64_t bytes) {
  if (bytes >= (std::uint64_t(1) << 30) && bytes % (std::uint64_t(1) << 30) == 0)
    return std::to_string(bytes >> 30) + " GB";
  if (bytes >= (std::uint64_t(1) << 20) && bytes % (std::uint64_t(1) << 20) == 0)
    return std::to_string(bytes >> 20) + " MB";
  return std::to_string(bytes) + " bytes";
}

std::string ReadFileBytes(const std::string& path, std::uint64_t maxBytes) {
  // Non-blocking, so that opening a FIFO returns at once and is refused below.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw EInOutError("Cannot open file \"" + path + "\". " + Reason(errno));
  auto refuse = [&](const std::string& why) {
    ::close(fd);
    throw EInOutError("Cannot read file \"" + path + "\". " + why);
  };
  struct stat st {};
  if (::fstat(fd, &st) != 0) refuse(Reason(errno));
  if (!S_ISREG(st.st_mode)) refuse("It is not a regular file.");
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
    refuse("It is larger than " + ByteLimitText(maxBytes) + ".");
  (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      refuse(Reason(errno));
    }
    if (got == 0) break;
    if (bytes.size() + static_cast<std::uint64_t>(got) > maxBytes)
      refuse("It is larger than " + ByteLimitText(maxBytes) + ".");
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

std::optional<TFileStamp> FileStamp(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return TFileStamp{std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                    static_cast<std::uint64_t>(st.st_size)};
}

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ResolvedPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

std::string ProgramFilePath() {
  char buffer[4096];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string ProgramFolder() {
  return FolderOfPath(ProgramFilePath());
}

namespace {

TWriteFaults WriteFaults;

// Linux's own limit on the links one path may pass through.
constexpr int MaxLinks = 40;

// The path that a chain of symbolic links ends at, whether that file exists or
// not; empty when the chain is longer than MaxLinks.
std::string FollowLinks(std::string path) {
  for (int link = 0; link <= MaxLinks; ++link) {
    std::error_code error;
    std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) return path; // not a link, or nothing there
    path = next.is_absolute() ? next.string() : FolderOfPath(path) + "/" + next.string();
  }
  return "";
}

// Temporary files are named after the program and the process, never after the
// target, so that they stay short beside the longest name and are known as ours.
constexpr std::string_view TemporaryPrefix = ".chorvanta-";
constexpr std::string_view TemporarySuffix = ".tmp";

std::string TemporaryName(pid_t process, unsigned number) {
  return std::string(TemporaryPrefix) + std::to_string(process) + "-" + std::to_string(number) +
         std::string(TemporarySuffix);
}

// The process that made a temporary file of that name; none for other names.
std::optional<pid_t> TemporaryOwner(std::string_view name) {
  if (name.size() <= TemporaryPrefix.size() + TemporarySuffix.size() ||
      name.substr(0, TemporaryPrefix.size()) != TemporaryPrefix ||
      name.substr(name.size() - TemporarySuffix.size()) != TemporarySuffix)
    return std::nullopt;
  name = name.substr(TemporaryPrefix.size(),
                     name.size() - TemporaryPrefix.size() - TemporarySuffix.size());
  const char* end = name.data() + name.size();
  pid_t process = 0;
  unsigned number = 0;
  auto [dash, error] = std::from_chars(name.data(), end, process);
  if (error != std::errc() || process <= 0 || dash == end || *dash != '-') return std::nullopt;
  auto [last, numberError] = std::from_chars(dash + 1, end, number);
  if (numberError != std::errc() || last != end) return std::nullopt;
  return process;
}

// Removes the temporary files of saves whose process no longer runs: a save
// killed half-way leaves its file, and nobody else would ever remove it.
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    std::optional<pid_t> owner = TemporaryOwner(entry->d_name);
    // A process that runs, or that the caller may not signal, keeps its file.
    if (!owner || ::kill(*owner, 0) == 0 || errno != ESRCH) continue;
    const std::string path = folder + "/" + entry->d_name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(listing);
}

} // namespace

void SetWriteFaults(const TWriteFaults& faults) {
  WriteFaults = faults;
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (::geteuid() == 0) return (st.st_mode & 0222) == 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

TAtomicFile::TAtomicFile(std::string path) : path_(std::move(path)) {
  if (WriteFaults.CreateError != 0) Fail("Can't create a file beside", WriteFaults.CreateError);
  target_ = FollowLinks(path_);
  if (target_.empty()) Fail("Can't write", ELOOP);
  struct stat existing {};
  bool hasExisting = ::stat(target_.c_str(), &existing) == 0;
  if (hasExisting && !S_ISREG(existing.st_mode)) {
    OpenInPlace();
    return;
  }
  if (hasExisting && IsReadOnlyFile(target_))
    throw EReadOnlyFile("Can't replace \"" + path_ + "\": the file is read-only");
  CreateTemporary();
  if (hasExisting) {
    // Only root may give a file away; others keep the group where they belong to
    // it, and otherwise the new file is the caller's, as any file the caller makes.
    if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0)
      (void)::fchown(fd_, static_cast<uid_t>(-1), existing.st_gid);
    // After the owner, since a change of owner clears the set-id bits.
    (void)::fchmod(fd_, existing.st_mode & 07777);
  }
}

void TAtomicFile::OpenInPlace() {
  inPlace_ = true;
  // Never created: the special file is there, and O_NOCTTY keeps a terminal from
  // becoming the process's own.
  fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) Fail("Can't write", errno);
}

void TAtomicFile::CreateTemporary() {
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOfPath(target_);
  RemoveStaleTemporaries(folder);
  for (int attempt = 0; fd_ < 0; ++attempt) {
    tempPath_ = folder + "/" + TemporaryName(::getpid(), counter++);
    // The umask applies to a new file as it would to the target itself.
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt > 100)) {
      int error = errno;
      tempPath_.clear();
      Fail("Can't create a file beside", error);
    }
  }
}

TAtomicFile::~TAtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void TAtomicFile::Fail(const std::string& what, int error) {
  throw EInOutError(what + " \"" + path_ + "\": " + Reason(error));
}

void TAtomicFile::Write(std::string_view bytes) {
  if (bytes.size() > WriteFaults.BytesBeforeDiskFull) {
    (void)WriteAll(fd_, bytes.substr(0, WriteFaults.BytesBeforeDiskFull));
    Fail("Can't write", ENOSPC);
  }
  if (!WriteAll(fd_, bytes)) Fail("Can't write", errno);
}

void TAtomicFile::Commit() {
  // A device or a FIFO has nothing to flush to disk and nothing to rename.
  if (!inPlace_ && ::fsync(fd_) != 0) Fail("Can't write", errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("Can't write", errno);
  if (inPlace_) return;
  if (WriteFaults.StopBeforeRename)
    throw EInOutError("The save of \"" + path_ + "\" stopped before it was complete");
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) Fail("Can't replace", errno);
  tempPath_.clear();
  int folder = ::open(FolderOfPath(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)::fsync(folder);
    ::close(folder);
  }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  TAtomicFile file(path);
  file.Write(bytes);
  file.Commit();
}

bool KeepCopyNoReplace(const std::string& path, const std::string& copyPath) {
  if (::link(path.c_str(), copyPath.c_str()) == 0) return true;
  if (errno == EEXIST || errno == ENOENT) return false;
  // File systems without hard links get a plain copy, created exclusively.
  std::string bytes;
  try {
    bytes = ReadFileBytes(path);
  } catch (const EInOutError&) {
    return false;
  }
  int fd = ::open(copyPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ::close(fd);
  if (!written) ::unlink(copyPath.c_str());
  return written;
}

} // namespace MyServis
