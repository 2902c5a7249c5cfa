#include "song/tag_table.h"

#include <gtest/gtest.h>

using namespace tagEditor;

namespace {

using TRows = std::vector<TTagRow>;
using TLines = std::vector<std::string>;

TTagTable Filled(const TLines& tags) {
  TTagTable table = InitialTagTable();
  FillTagTable(table, tags);
  return table;
}

TEST(FillTagTable, ShowsTheSongsLinesUnderTheirKeys) {
  const TTagTable table =
      Filled({"#title:x", "#BPM:300", "#EDITION:y", "#GAP:1500", "#VIDEOGAP:0", "#mp3:song.mp3",
              "#ARTIST:  \tA: B ", "#LANGUAGE", "#:nameless", " # Cover :c.jpg"});
  EXPECT_EQ(table.Rows, (TRows{{"TITLE", "x"},
                               {"ARTIST", "A: B "},
                               {"ALBUM", ""},
                               {"VIDEO", ""},
                               {"COVER", "c.jpg"},
                               {"BACKGROUND", ""},
                               {"CREATOR", ""},
                               {"LANGUAGE", ""},
                               {"EDITION", "y"}}));
}

TEST(FillTagTable, LaterLineOfAKeyWins) {
  EXPECT_EQ(Filled({"#TITLE:a", "#Title:b"}).Rows[0], (TTagRow{"TITLE", "b"}));
}

TEST(FillTagTable, OpeningForAnotherSongEmptiesWhatTheLastOneShowed) {
  TTagTable table = Filled({"#TITLE:First", "#EDITION:First edition"});
  table.Rows.push_back({"", "typed without a name"});
  FillTagTable(table, {"#ARTIST:Second"});
  TTagTable expected = InitialTagTable();
  expected.Rows[1].Value = "Second";
  expected.Rows.push_back({"EDITION", ""});
  EXPECT_EQ(table.Rows, expected.Rows);
}

TEST(WriteTagTable, RewritesTheHeaderMusicFirstThenRowsWithValues) {
  songData::TSong song;
  song.Tags = {"#title:x",      "#BPM:300",           "#EDITION",  "#GAP:1500",
               "#MP3:song.mp3", "#ARTIST:   Someone", "#ALBUM:Old"};
  TTagTable table = Filled(song.Tags);
  SetTagValue(table, 2, "");
  table.Rows.push_back({"YEAR", "1999"});
  WriteTagTable(table, song);
  EXPECT_EQ(song.Tags, (TLines{"#MP3:song.mp3", "#TITLE:x", "#ARTIST:Someone", "#YEAR:1999"}));
}

TEST(WriteTagTable, FirstRowOfAKeyDecidesAndUnnamedOrManagedRowsAddNothing) {
  songData::TSong song;
  TTagTable table{{{"TITLE", "first"}, {"TITLE", "second"}, {"", "lost"}, {"BPM", "60"}}};
  WriteTagTable(table, song);
  EXPECT_EQ(song.Tags, (TLines{"#TITLE:first"}));
}

struct TMusicCase {
  const char* Name;
  TLines Tags;
  std::string MusicFileName;
  bool MusicLoaded;
  TLines Expected;
};

class MusicLine : public testing::TestWithParam<TMusicCase> {};

TEST_P(MusicLine, KeepsThisSongsOwnMusic) {
  songData::TSong song;
  song.Tags = GetParam().Tags;
  song.MusicFileName = GetParam().MusicFileName;
  song.MusicLoaded = GetParam().MusicLoaded;
  WriteTagTable(Filled(song.Tags), song);
  EXPECT_EQ(song.Tags, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MusicLine,
    testing::Values(
        TMusicCase{"OwnLineWhileAnotherSongsMusicIsNamed",
                   {"#TITLE:t", "#MP3:own.mp3"},
                   "earlier.mp3",
                   false,
                   {"#MP3:own.mp3", "#TITLE:t"}},
        TMusicCase{
            "OwnPathInASubfolder", {"#mp3:audio/own.mp3"}, "own.mp3", true, {"#MP3:audio/own.mp3"}},
        TMusicCase{"MusicFoundByTheSongsName",
                   {"#TITLE:t"},
                   "song.mp3",
                   true,
                   {"#MP3:song.mp3", "#TITLE:t"}},
        TMusicCase{"NoneFoundAndNoneNamed", {"#TITLE:t"}, "earlier.mp3", false, {"#TITLE:t"}},
        TMusicCase{"EmptyOwnLine", {"#MP3:"}, "", false, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TRenameCase {
  const char* Name;
  const char* Typed;
  std::string Key; // of row 2 afterwards
  bool Refused;
};

class RenameTagRowCase : public testing::TestWithParam<TRenameCase> {};

TEST_P(RenameTagRowCase, KeepsKeysUniqueAndWritable) {
  TTagTable table = Filled({"#ALBUM:Best of"});
  const std::string refusal = RenameTagRow(table, 2, GetParam().Typed);
  EXPECT_EQ(!refusal.empty(), GetParam().Refused) << refusal;
  EXPECT_EQ(table.Rows[2], (TTagRow{GetParam().Key, "Best of"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, RenameTagRowCase,
                         testing::Values(TRenameCase{"UpperCaseWithoutHash", " #Edition ",
                                                     "EDITION", false},
                                         TRenameCase{"SameKeyInOtherCase", "album", "ALBUM", false},
                                         TRenameCase{"ExistingKey", "title", "ALBUM", true},
                                         TRenameCase{"ManagedKey", "#mp3", "ALBUM", true},
                                         TRenameCase{"Empty", " # ", "ALBUM", true},
                                         TRenameCase{"Colon", "A:B", "ALBUM", true},
                                         TRenameCase{"LineBreak", "A\nB", "ALBUM", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SetTagValue, LineBreaksCannotStartANewFileLine) {
  TTagTable table = InitialTagTable();
  SetTagValue(table, 0, "one\r\n: 0 4 12 two");
  EXPECT_EQ(table.Rows[0].Value, "one  : 0 4 12 two");
}

} // namespace
