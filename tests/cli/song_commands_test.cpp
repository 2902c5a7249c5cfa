#include "cli/cli_runner.h"
#include "cli/json_text.h"

#include <gtest/gtest.h>

namespace {

const std::string Song =
    "\xEF\xBB\xBF#TITLE:T\xE9st \"q\"\r\n#bpm:300.5\r\n#GAP:1500,5\r\n"
    "- 16 20\r\n: 0 4 12 a b\r\n* 16 2 -3 \xC3\xA9\\\r\nF 20 1 0\rE\r\n: 99 1 1 after\r\n";

TEST(CheckCommand, OneLinePerFileAndTheWorstStatus) {
  TTempFolder folder;
  folder.Write("good.txt", Song);
  folder.Write("bad.txt", "#TITLE:x\n: 0 1 1 a\n: 2 two 1 b\n");
  // The title's lone Windows-1252 byte is converted and the note after the end
  // is dropped, each worth a warning.
  const std::string good =
      folder.File("good.txt") + ": ok: 3 notes, 1 line breaks, BPM 300.5, GAP 1500 ms\n" +
      folder.File("good.txt") +
      ": warning: The texts were converted from Windows-1252 and will be saved as UTF-8.\n" +
      folder.File("good.txt") +
      ": warning: 1 line after the \"E\" that ends the song was not read and will be dropped "
      "on save (line 9).\n";
  TCliResult ok = RunCli({"check", folder.File("good.txt")});
  EXPECT_EQ(ok.ExitCode, 0);
  EXPECT_EQ(ok.Out, good);

  TCliResult mixed =
      RunCli({"check", folder.File("good.txt"), folder.File("bad.txt"), folder.File("none.txt")});
  EXPECT_EQ(mixed.ExitCode, 1);
  EXPECT_EQ(mixed.Out, good + folder.File("bad.txt") +
                           ": error: 'two' is not a valid integer value (line 3)\n" +
                           folder.File("none.txt") + ": error: Cannot open file \"" +
                           folder.File("none.txt") + "\". No such file or directory\n");
}

// A duet of another tool: relative beats, Windows-1252 texts, rap notes, a line
// with a tempo change the editor cannot use and a text too long for a note.
const std::string ForeignSong = "#TITLE:Fran\xE7"
                                "ais\n#RELATIVE:yes\n#BPM:200\nP1\n"
                                ": 0 2 5 \xE7"
                                "a\n- 4 6\nR 0 2 0 yo\nB 8 300\nP 2\n"
                                "G 1 1 0 " +
                                std::string(50, 'x') + "\nE\n";

TEST(CheckCommand, WarnsOfWhatLoadingChangedWithTheLines) {
  TTempFolder folder;
  folder.Write("foreign.txt", ForeignSong);
  TCliResult result = RunCli({"check", folder.File("foreign.txt")});
  EXPECT_EQ(result.ExitCode, 0);
  const std::string path = folder.File("foreign.txt");
  EXPECT_EQ(result.Out,
            path + ": ok: 3 notes, 1 line breaks, BPM 200, GAP 0 ms\n" + path +
                ": warning: The texts were converted from Windows-1252 and will be saved as "
                "UTF-8.\n" +
                path + ": warning: The relative beats were made absolute and will be saved so.\n" +
                path + ": warning: 1 text was cut to 47 bytes (line 10).\n" + path +
                ": warning: 1 line of this file was not understood and will be dropped on save "
                "(line 8).\n");
}

TEST(CheckCommand, UsageErrors) {
  EXPECT_EQ(RunCli({"check"}).ExitCode, 2);
  EXPECT_EQ(RunCli({"dump"}).ExitCode, 2);
  EXPECT_EQ(RunCli({"normalize", "a"}).ExitCode, 2);
  EXPECT_EQ(RunCli({"no-such-command"}).ExitCode, 2);
  EXPECT_EQ(RunCli({}).ExitCode, 2);
  TCliResult help = RunCli({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_NE(help.Out.find("normalize IN OUT"), std::string::npos);
}

TEST(DumpCommand, DescribesTheLoadedModel) {
  TTempFolder folder;
  folder.Write("song.txt", Song);
  TCliResult dump = RunCli({"dump", folder.File("song.txt")});
  EXPECT_EQ(dump.ExitCode, 0) << dump.Err;
  EXPECT_EQ(dump.Out, R"({
  "use_bom": true,
  "bpm": 300.5,
  "music_offset": -1.5,
  "video_gap": 0,
  "transpose": 12,
  "tags": [
    "#TITLE:Tést \"q\"",
    "#bpm:300.5",
    "#GAP:1500,5"
  ],
  "notes": [
    {"kind": ":", "voice": 1, "start": 0, "length": 4, "pitch": 12, "text": "a b", "text_hex": "612062"},
    {"kind": "-", "voice": 1, "start": 16, "length": 0, "pitch": 0, "text": "", "text_hex": ""},
    {"kind": "*", "voice": 1, "start": 16, "length": 2, "pitch": -3, "text": "é\\", "text_hex": "c3a95c"},
    {"kind": "F", "voice": 1, "start": 20, "length": 1, "pitch": 0, "text": "", "text_hex": ""}
  ]
}
)");
}

TEST(DumpCommand, GivesRapKindsAndVoices) {
  TTempFolder folder;
  folder.Write("foreign.txt", ForeignSong);
  TCliResult dump = RunCli({"dump", folder.File("foreign.txt")});
  EXPECT_EQ(dump.ExitCode, 0) << dump.Err;
  std::string hex;
  for (int i = 0; i < 47; ++i)
    hex += "78";
  const std::string notes =
      R"(  "notes": [
    {"kind": ":", "voice": 1, "start": 0, "length": 2, "pitch": 5, "text": "ça", "text_hex": "c3a761"},
    {"kind": "G", "voice": 2, "start": 1, "length": 1, "pitch": 0, "text": ")" +
      std::string(47, 'x') + R"(", "text_hex": ")" + hex + R"("},
    {"kind": "-", "voice": 1, "start": 4, "length": 0, "pitch": 0, "text": "", "text_hex": ""},
    {"kind": "R", "voice": 1, "start": 6, "length": 2, "pitch": 0, "text": "yo", "text_hex": "796f"}
  ]
}
)";
  ASSERT_GE(dump.Out.size(), notes.size());
  EXPECT_EQ(dump.Out.substr(dump.Out.size() - notes.size()), notes);
}

TEST(DumpCommand, SongWithoutNotesAndFailure) {
  TTempFolder folder;
  folder.Write("new.txt", "#TITLE:T\n");
  TCliResult tagsOnly = RunCli({"dump", folder.File("new.txt")});
  EXPECT_EQ(tagsOnly.ExitCode, 0);
  EXPECT_NE(tagsOnly.Out.find("\"tags\": [\n    \"#TITLE:T\"\n  ],\n  \"notes\": []\n}"),
            std::string::npos)
      << tagsOnly.Out;
  folder.Write("bad.txt", "- x\n");
  TCliResult bad = RunCli({"dump", folder.File("bad.txt")});
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(bad.Out, "");
  EXPECT_EQ(bad.Err, "'x' is not a valid integer value\n");
}

TEST(NormalizeCommand, WritesWhatSaveWritesWithoutBackup) {
  TTempFolder folder;
  folder.Write("song.txt", Song);
  TCliResult result = RunCli({"normalize", folder.File("song.txt"), folder.File("out.txt")});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(folder.Read("out.txt"),
            "\xEF\xBB\xBF#TITLE:T\xC3\xA9st \"q\"\r\n#BPM:300,5\r\n#GAP:1500\r\n"
            "#VIDEOGAP:0\r\n: 0 4 12 a b\r\n- 16\r\n* 16 2 -3 \xC3\xA9\\\r\n"
            "F 20 1 0 \r\nE\r\n");
  EXPECT_EQ(folder.Listing(), "out.txt song.txt");
  // Normalizing its own output changes nothing.
  EXPECT_EQ(RunCli({"normalize", folder.File("out.txt"), folder.File("again.txt")}).ExitCode, 0);
  EXPECT_EQ(folder.Read("again.txt"), folder.Read("out.txt"));
}

TEST(NormalizeCommand, WritesAForeignSongInTheEditorsForm) {
  TTempFolder folder;
  folder.Write("foreign.txt", ForeignSong);
  TCliResult result = RunCli({"normalize", folder.File("foreign.txt"), folder.File("out.txt")});
  EXPECT_EQ(result.ExitCode, 0) << result.Err;
  EXPECT_EQ(folder.Read("out.txt"), "#TITLE:Fran\xC3\xA7"
                                    "ais\r\n#BPM:200\r\n#GAP:0\r\n"
                                    "#VIDEOGAP:0\r\nP1\r\n: 0 2 5 \xC3\xA7"
                                    "a\r\n- 4\r\n"
                                    "R 6 2 0 yo\r\nP2\r\nG 1 1 0 " +
                                        std::string(47, 'x') + "\r\nE\r\n");
  EXPECT_EQ(RunCli({"normalize", folder.File("out.txt"), folder.File("again.txt")}).ExitCode, 0);
  EXPECT_EQ(folder.Read("again.txt"), folder.Read("out.txt"));
}

TEST(NormalizeCommand, FailuresLeaveNoOutput) {
  TTempFolder folder;
  folder.Write("bad.txt", ": 1\n");
  TCliResult bad = RunCli({"normalize", folder.File("bad.txt"), folder.File("out.txt")});
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(bad.Err, "'' is not a valid integer value\n");
  folder.Write("good.txt", ": 1 1 1 a\n");
  TCliResult unwritable = RunCli({"normalize", folder.File("good.txt"), folder.File("no/out.txt")});
  EXPECT_EQ(unwritable.ExitCode, 1);
  EXPECT_NE(unwritable.Err.find(folder.File("no/out.txt")), std::string::npos) << unwritable.Err;
  EXPECT_EQ(folder.Listing(), "bad.txt good.txt");
}

TEST(JsonText, InvalidUtf8BecomesReplacementCharacters) {
  struct {
    std::string Bytes, Text;
  } cases[] = {
      {"plain", "plain"},
      {"\xC3\xA9", "\xC3\xA9"},
      {"\xE9t\xE9", "\xEF\xBF\xBDt\xEF\xBF\xBD"},
      {"\xE2\x82", "\xEF\xBF\xBD"}, // a cut sequence is one replacement
      {"\xE2\x82"
       "a",
       "\xEF\xBF\xBD"
       "a"},
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                 // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // surrogate
      {"\xF0\x9F\x8E\xA4", "\xF0\x9F\x8E\xA4"},
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // beyond U+10FFFF
  };
  for (const auto& c : cases)
    EXPECT_EQ(cli::ToValidUtf8(c.Bytes), c.Text) << cli::HexBytes(c.Bytes);
  EXPECT_EQ(cli::JsonString(std::string("a\"\\\n\x01\x7f", 6)), "\"a\\\"\\\\\\n\\u0001\x7f\"");
}

} // namespace
