// normalize warns as check does, and never writes over its input what the load
// could not keep, unless told to.
#include "cli/cli_runner.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The lines of check's report that are warnings.
std::string CheckWarnings(const std::string& path) {
  const std::string out = RunCli({"check", path}).Out;
  std::string warnings;
  for (std::size_t at = 0; at < out.size();) {
    const std::size_t end = out.find('\n', at) + 1;
    const std::string line = out.substr(at, end - at);
    if (line.find(": warning: ") != std::string::npos) warnings += line;
    at = end;
  }
  return warnings;
}

TEST(NormalizeCommand, WarnsAsCheckDoes) {
  TTempFolder folder;
  const std::string in = folder.Write("foreign.txt", "#TITLE:Fran\xE7"
                                                     "ais\n#RELATIVE:yes\n: 0 2 5 a\nB 8 300\nE\n");
  const std::string warnings = CheckWarnings(in);
  ASSERT_NE(warnings, "");
  TCliResult run = RunCli({"normalize", in, folder.File("out.txt")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Err, warnings);
}

struct TOverwriteCase {
  std::string Name;
  std::string Song; // lines the reader does not keep
};

void PrintTo(const TOverwriteCase& c, std::ostream* out) {
  *out << c.Name;
}

class NormalizeOverItself : public ::testing::TestWithParam<TOverwriteCase> {};

// Through every path that names the input: itself, another spelling, a symbolic
// link and a hard link.
TEST_P(NormalizeOverItself, IsRefusedWhenLinesWereNotReadUnlessForced) {
  const TOverwriteCase& c = GetParam();
  TTempFolder folder;
  const std::string in = folder.Write("song.txt", c.Song);
  fs::create_symlink("song.txt", folder.File("symlink.txt"));
  fs::create_hard_link(in, folder.File("hardlink.txt"));
  for (const std::string& out : {in, folder.Path() + "/./song.txt", folder.File("symlink.txt"),
                                 folder.File("hardlink.txt")}) {
    SCOPED_TRACE(out);
    TCliResult run = RunCli({"normalize", in, out});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find(in + ": warning: "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find(in + ": not written over: "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("--force"), std::string::npos) << run.Err;
    EXPECT_EQ(folder.Read("song.txt"), c.Song);
    EXPECT_TRUE(fs::is_symlink(folder.File("symlink.txt")));
  }
  // Another file may take what was read, and --force writes over the input.
  EXPECT_EQ(RunCli({"normalize", in, folder.File("out.txt")}).ExitCode, 0);
  TCliResult forced = RunCli({"normalize", "--force", in, in});
  EXPECT_EQ(forced.ExitCode, 0) << forced.Err;
  EXPECT_EQ(folder.Read("song.txt"), folder.Read("out.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Songs, NormalizeOverItself,
    ::testing::Values(TOverwriteCase{"UnreadLine",
                                     "#TITLE:T\n: 0 2 5 la\nB 8 300\n: 4 2 5 lo\nE\n"},
                      TOverwriteCase{"NotesAfterTheEnd", "#TITLE:T\n: 0 2 5 la\nE\n: 4 2 5 lo\n"}),
    [](const auto& info) { return info.param.Name; });

TEST(NormalizeCommand, WritesOverItselfWhenEveryLineWasRead) {
  TTempFolder folder;
  const std::string in = folder.Write("song.txt", "#TITLE:T\n#BPM:200\n: 0 2 5 la\nE\n");
  TCliResult run = RunCli({"normalize", in, in});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(folder.Read("song.txt"), "#TITLE:T\r\n#BPM:200\r\n#GAP:0\r\n#VIDEOGAP:0\r\n"
                                     ": 0 2 5 la\r\nE\r\n");
}

// A UTF-16 file without a byte order mark keeps its notes when written over itself.
TEST(NormalizeCommand, KeepsTheNotesOfUtf16WithoutAMark) {
  TTempFolder folder;
  const std::string text = "#TITLE:T\r\n#BPM:200\r\n: 0 2 5 la\r\n: 4 2 5 lo\r\nE\r\n";
  std::string utf16;
  for (char ch : text)
    utf16 += std::string{ch, '\0'};
  const std::string in = folder.Write("song.txt", utf16);
  TCliResult run = RunCli({"normalize", in, in});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(folder.Read("song.txt"), "#TITLE:T\r\n#BPM:200\r\n#GAP:0\r\n#VIDEOGAP:0\r\n"
                                     ": 0 2 5 la\r\n: 4 2 5 lo\r\nE\r\n");
}

} // namespace
