#include "common/temp_folder.h"
#include "support/file_io.h"
#include "support/runtime_errors.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace MyServis;

namespace {

TEST(FileIo, ReadsBytesAndNamesMissingFiles) {
  TTempFolder folder;
  folder.Write("a", std::string("x\0y\r\n", 5));
  EXPECT_EQ(ReadFileBytes(folder.File("a")), std::string("x\0y\r\n", 5));
  try {
    ReadFileBytes(folder.File("b"));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + folder.File("b") + "\". No such file or directory");
  }
  EXPECT_TRUE(RegularFileExists(folder.File("a")));
  EXPECT_FALSE(RegularFileExists(folder.Path()));
}

// What cannot be read whole without blocking or without end is refused, and
// nothing is read past the limit.
TEST(FileIo, ReadRefusesWhatIsNotABoundedRegularFile) {
  TTempFolder folder;
  folder.Write("small", "12345");
  const std::string fifo = folder.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct TCase {
    std::string path;
    std::uint64_t limit;
    std::string reason;
  } cases[] = {
      {fifo, DefaultMaxFileBytes, "It is not a regular file."},
      {folder.Path(), DefaultMaxFileBytes, "It is not a regular file."},
      {folder.File("small"), 4, "It is larger than 4 bytes."},
      // Gives no size and far more bytes than the limit.
      {"/proc/self/pagemap", std::uint64_t(1) << 20, "It is larger than 1 MB."},
  };
  for (const TCase& c : cases) {
    try {
      ReadFileBytes(c.path, c.limit);
      ADD_FAILURE() << c.path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot read file \"" + c.path + "\". " + c.reason);
    }
  }
  EXPECT_EQ(ReadFileBytes(folder.File("small"), 5), "12345");
}

// The cases of writes to what is not a plain file: each makes its output in a
// fresh folder, then checks what the write did to it.
struct TSpecialOutput {
  const char* What;
  // Makes the output and returns its path; empty when the test may not make it.
  std::string (*Make)(const TTempFolder& folder);
  void (*Check)(const TTempFolder& folder);
};

const std::string NewBytes(1 << 20, 'n'); // more than a pipe holds

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

mode_t TypeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

const TSpecialOutput SpecialOutputs[] = {
    {"symlink",
     [](const TTempFolder& folder) {
       folder.Write("target", "old");
       EXPECT_EQ(::symlink("target", folder.File("link").c_str()), 0);
       return folder.File("link");
     },
     [](const TTempFolder& folder) {
       EXPECT_TRUE(IsLink(folder.File("link")));
       EXPECT_EQ(folder.Read("target"), NewBytes);
       EXPECT_EQ(folder.Listing(), "link target");
     }},
    {"chain of symlinks into another folder",
     [](const TTempFolder& folder) {
       std::filesystem::create_directories(folder.File("other"));
       folder.Write("other/target", "old");
       EXPECT_EQ(::symlink(folder.File("other/target").c_str(), folder.File("first").c_str()), 0);
       EXPECT_EQ(::symlink("first", folder.File("second").c_str()), 0);
       return folder.File("second");
     },
     [](const TTempFolder& folder) {
       EXPECT_TRUE(IsLink(folder.File("first")));
       EXPECT_TRUE(IsLink(folder.File("second")));
       EXPECT_EQ(folder.Read("other/target"), NewBytes);
       EXPECT_EQ(folder.Listing(), "first other second");
       EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("other")), {}), 1);
     }},
    {"symlink to a missing file",
     [](const TTempFolder& folder) {
       EXPECT_EQ(::symlink("made", folder.File("link").c_str()), 0);
       return folder.File("link");
     },
     [](const TTempFolder& folder) {
       EXPECT_TRUE(IsLink(folder.File("link")));
       EXPECT_EQ(folder.Read("made"), NewBytes);
     }},
    {"FIFO",
     [](const TTempFolder& folder) {
       EXPECT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
       return folder.File("fifo");
     },
     [](const TTempFolder& folder) {
       EXPECT_EQ(TypeOf(folder.File("fifo")), S_IFIFO);
       EXPECT_EQ(folder.Listing(), "fifo");
     }},
    {"character device",
     [](const TTempFolder& folder) -> std::string {
       // The test's own null device, never the machine's.
       if (::mknod(folder.File("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) return "";
       return folder.File("null");
     },
     [](const TTempFolder& folder) {
       struct stat st {};
       ASSERT_EQ(::lstat(folder.File("null").c_str(), &st), 0);
       EXPECT_TRUE(S_ISCHR(st.st_mode));
       EXPECT_EQ(st.st_rdev, ::makedev(1, 3));
       EXPECT_EQ(folder.Listing(), "null");
     }},
};

void PrintTo(const TSpecialOutput& output, std::ostream* out) {
  *out << output.What;
}

class AtomicWriteOutput : public testing::TestWithParam<TSpecialOutput> {};

TEST_P(AtomicWriteOutput, WritesTheFileTheUserMeant) {
  TTempFolder folder;
  const std::string path = GetParam().Make(folder);
  if (path.empty()) GTEST_SKIP() << "this test may not make a " << GetParam().What;
  // A FIFO's reader: the held write end keeps its end of file until the write is done.
  std::string received;
  std::thread reader;
  int held = -1;
  if (TypeOf(path) == S_IFIFO) {
    int readEnd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    held = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(readEnd, 0);
    ASSERT_GE(held, 0);
    ::fcntl(readEnd, F_SETFL, 0);
    reader = std::thread([readEnd, &received] {
      char buffer[65536];
      for (ssize_t got; (got = ::read(readEnd, buffer, sizeof buffer)) > 0;)
        received.append(buffer, static_cast<std::size_t>(got));
      ::close(readEnd);
    });
  }
  EXPECT_NO_THROW(WriteFileAtomically(path, NewBytes));
  if (reader.joinable()) {
    ::close(held);
    reader.join();
    EXPECT_EQ(received.size(), NewBytes.size());
  }
  GetParam().Check(folder);
}

INSTANTIATE_TEST_SUITE_P(SpecialOutputs, AtomicWriteOutput, testing::ValuesIn(SpecialOutputs),
                         [](const testing::TestParamInfo<TSpecialOutput>& info) {
                           std::string name = info.param.What;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(FileIo, RefusesReadOnlyFilesAndKeepsModeAndOwner) {
  TTempFolder folder;
  const std::string locked = folder.Write("locked.txt", "old");
  ::chmod(locked.c_str(), 0444);
  try {
    WriteFileAtomically(locked, "new");
    ADD_FAILURE() << "replaced a read-only file";
  } catch (const EReadOnlyFile& e) {
    EXPECT_EQ(std::string(e.what()), "Can't replace \"" + locked + "\": the file is read-only");
  }
  EXPECT_EQ(folder.Read("locked.txt"), "old");

  const std::string shared = folder.Write("shared.txt", "old");
  ::chmod(shared.c_str(), 0640);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(shared.c_str(), 12345, 12345), 0);
  }
  WriteFileAtomically(shared, "new");
  struct stat st {};
  ASSERT_EQ(::stat(shared.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 12345u);
    EXPECT_EQ(st.st_gid, 12345u);
  }
  EXPECT_EQ(folder.Read("shared.txt"), "new");
  EXPECT_EQ(folder.Listing(), "locked.txt shared.txt");
}

TEST(FileIo, WritesTheLongestNames) {
  TTempFolder folder;
  const std::string name(250, 's');
  WriteFileAtomically(folder.File(name), "one");
  WriteFileAtomically(folder.File(name), "two");
  EXPECT_EQ(folder.Read(name), "two");
  EXPECT_EQ(folder.Listing(), name);
}

// A save killed half-way leaves its temporary file; the next save in the folder
// removes it, and nothing of a running process or of another program.
TEST(FileIo, RemovesTemporaryFilesOfStoppedSaves) {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::string dead = std::to_string(child);
  TTempFolder folder;
  folder.Write("song.txt", "old");
  folder.Write(".chorvanta-" + dead + "-0.tmp", "stale");
  folder.Write(".chorvanta-" + dead + "-17.tmp", "stale");
  const std::string kept[] = {
      ".chorvanta-" + std::to_string(::getpid()) + "-999.tmp", // this process runs
      ".chorvanta-1-0.tmp",                                    // so does init
      ".chorvanta-" + dead + "-0.tmp~",                        // another program's
      ".chorvanta-" + dead + ".tmp",
      ".song.txt.tmp" + dead + "-0",
  };
  for (const std::string& name : kept)
    folder.Write(name, "kept");
  WriteFileAtomically(folder.File("song.txt"), "new");
  std::vector<std::string> names(std::begin(kept), std::end(kept));
  names.push_back("song.txt");
  std::sort(names.begin(), names.end());
  std::string expected;
  for (const std::string& name : names)
    expected += (expected.empty() ? "" : " ") + name;
  EXPECT_EQ(folder.Listing(), expected);
  EXPECT_EQ(folder.Read("song.txt"), "new");
}

} // namespace

TEST(FileIo, AtomicFileReplacesOnlyOnCommit) {
  TTempFolder folder;
  folder.Write("f", "old");
  {
    TAtomicFile file(folder.File("f"));
    file.Write("new");
    EXPECT_EQ(folder.Read("f"), "old");
  }
  EXPECT_EQ(folder.Listing(), "f");
  EXPECT_EQ(folder.Read("f"), "old");
  WriteFileAtomically(folder.File("f"), "new");
  EXPECT_EQ(folder.Read("f"), "new");
  EXPECT_EQ(folder.Listing(), "f");
}

TEST(FileIo, KeepCopyNeverOverwrites) {
  TTempFolder folder;
  folder.Write("f", "one");
  EXPECT_TRUE(KeepCopyNoReplace(folder.File("f"), folder.File("f.bak")));
  WriteFileAtomically(folder.File("f"), "two");
  EXPECT_FALSE(KeepCopyNoReplace(folder.File("f"), folder.File("f.bak")));
  EXPECT_EQ(folder.Read("f.bak"), "one");
  EXPECT_FALSE(KeepCopyNoReplace(folder.File("none"), folder.File("none.bak")));
}
