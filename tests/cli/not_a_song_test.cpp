// Files that are not songs are refused by every command that reads a song, by
// name and without showing their bytes.
#include "audio/audio_fixtures.h"
#include "cli/cli_runner.h"
#include "cli/json_text.h"

#include <gtest/gtest.h>

namespace {

// What a user may read: text of printable characters and line ends only.
bool Readable(const std::string& text) {
  for (char ch : text)
    if (static_cast<unsigned char>(ch) < 0x20 && ch != '\n') return false;
  return cli::ToValidUtf8(text) == text;
}

TEST(NotASong, EveryCommandRefusesItByName) {
  TTempFolder folder;
  folder.Write("music.txt", audiotest::MonoWavHeader(8000, 8) + std::string("\xF0\x46\x34\xB1"
                                                                            "\x00\x80\xFF\x7F",
                                                                            8));
  folder.Write("CMakeLists.txt", "cmake_minimum_required(VERSION 3.25)\nproject(x)\n"
                                 "add_executable(x main.cpp)\n");
  folder.Write("empty.txt", "");
  for (const std::string name : {"music.txt", "CMakeLists.txt", "empty.txt"}) {
    const std::string path = folder.File(name);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"check", path},
                                                 {"dump", path},
                                                 {"render", path, folder.File("out.png")},
                                                 {"normalize", path, folder.File("out.txt")}}) {
      SCOPED_TRACE(args[0] + " " + name);
      TCliResult run = RunCli(args);
      EXPECT_EQ(run.ExitCode, 1);
      EXPECT_NE((run.Out + run.Err).find(name + " is not a song file"), std::string::npos)
          << run.Out << run.Err;
      EXPECT_TRUE(Readable(run.Out)) << cli::HexBytes(run.Out);
      EXPECT_TRUE(Readable(run.Err)) << cli::HexBytes(run.Err);
    }
    EXPECT_FALSE(folder.Exists("out.png"));
    EXPECT_FALSE(folder.Exists("out.txt"));
  }
}

} // namespace
