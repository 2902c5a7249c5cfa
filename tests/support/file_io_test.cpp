#include "common/temp_folder.h"
#include "support/file_io.h"
#include "support/runtime_errors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace MyServis;

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
