#include "common/temp_folder.h"
#include "support/file_io.h"
#include "support/runtime_errors.h"

#include <gtest/gtest.h>

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
