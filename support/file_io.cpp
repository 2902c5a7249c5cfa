#include "support/file_io.h"

#include "support/runtime_errors.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
} // namespace

void SetWriteFaults(const TWriteFaults& faults) {
  WriteFaults = faults;
}

TAtomicFile::TAtomicFile(std::string path) : path_(std::move(path)) {
  static std::atomic<unsigned> counter{0};
  if (WriteFaults.CreateError != 0) Fail("Can't create a file beside", WriteFaults.CreateError);
  std::string folder = FolderOfPath(path_);
  std::string name = NameOfPath(path_);
  struct stat existing {};
  bool hasExisting = ::stat(path_.c_str(), &existing) == 0;
  for (int attempt = 0; fd_ < 0; ++attempt) {
    tempPath_ = folder + "/." + name + ".tmp" + std::to_string(::getpid()) + "-" +
                std::to_string(counter++);
    // The umask applies to a new file as it would to the target itself.
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt > 100)) {
      int error = errno;
      tempPath_.clear();
      Fail("Can't create a file beside", error);
    }
  }
  if (hasExisting) (void)::fchmod(fd_, existing.st_mode & 07777);
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
  if (::fsync(fd_) != 0) Fail("Can't write", errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail("Can't write", errno);
  if (WriteFaults.StopBeforeRename)
    throw EInOutError("The save of \"" + path_ + "\" stopped before it was complete");
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) Fail("Can't replace", errno);
  tempPath_.clear();
  int folder = ::open(FolderOfPath(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
