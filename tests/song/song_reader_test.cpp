#include "common/note_builder.h"
#include "common/temp_folder.h"
#include "song/song_model.h"
#include "song/song_reader.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace songData;

namespace {

// The name as a message shows it: control bytes escaped, stray bytes replaced.
std::string PrintableName(const std::string& name) {
  return name == "bad\x01\xFF.txt" ? "bad\\x01\xEF\xBF\xBD.txt" : name;
}

struct TLineCase {
  const char* Name;
  std::string Text;
  std::vector<TNote> Expected;
};

// Test names show the case, not the bytes of the record.
void PrintTo(const TLineCase& c, std::ostream* out) {
  *out << c.Name;
}

TNote SecondVoiceNote(TNote note) {
  note.Voice = SecondVoice;
  return note;
}

class NoteLines : public testing::TestWithParam<TLineCase> {};

TEST_P(NoteLines, ReadAsRecords) {
  EXPECT_EQ(ParseSongText(GetParam().Text).Notes, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoteLines,
    testing::Values(
        TLineCase{
            "TextWithSpaces", ": 0 4 12 two words\n", {MakeNote(nkNormal, 0, 4, 12, "two words")}},
        TLineCase{"SpaceAfterPitchGivesEmptyText", ": 0 4 12 \n", {MakeNote(nkNormal, 0, 4, 12)}},
        TLineCase{"NothingAfterPitch", ": 0 4 12\n", {MakeNote(nkNormal, 0, 4, 12)}},
        TLineCase{"TextKeepsItsOwnSpaces", "* 0 4 12  a \n", {MakeNote(nkGolden, 0, 4, 12, " a ")}},
        TLineCase{"Kinds",
                  ": 0 1 1 a\n* 1 1 2 b\nF 2 1 3 c\n- 3\n",
                  {MakeNote(nkNormal, 0, 1, 1, "a"), MakeNote(nkGolden, 1, 1, 2, "b"),
                   MakeNote(nkFreestyle, 2, 1, 3, "c"), MakeNote(nkLineBreak, 3)}},
        TLineCase{"LineBreakSecondNumberIgnored",
                  "- 16 20\n- 24\n",
                  {MakeNote(nkLineBreak, 16), MakeNote(nkLineBreak, 24)}},
        TLineCase{"OverlapRaised",
                  ": 0 10 1 a\n: 6 4 1 b\n",
                  {MakeNote(nkNormal, 0, 10, 1, "a"), MakeNote(nkNormal, 10, 4, 1, "b")}},
        TLineCase{"LineBreakRaisedButDoesNotMoveTheEnd",
                  ": 0 10 1 a\n- 4\n: 10 2 1 b\n",
                  {MakeNote(nkNormal, 0, 10, 1, "a"), MakeNote(nkLineBreak, 10),
                   MakeNote(nkNormal, 10, 2, 1, "b")}},
        TLineCase{"NegativeFirstStart", ": -8 2 1 a\n", {MakeNote(nkNormal, 0, 2, 1, "a")}},
        TLineCase{
            "IgnoredPrefixes", "P1\nf 0 1 1 a\nx\n: 0 1 1 b\n", {MakeNote(nkNormal, 0, 1, 1, "b")}},
        TLineCase{"TextCutTo47Bytes",
                  ": 0 1 1 " + std::string(60, 'z') + "\n",
                  {MakeNote(nkNormal, 0, 1, 1, std::string(47, 'z'))}},
        TLineCase{"TwoSpacesAfterPrefix", ":  0 4 12 a\n", {MakeNote(nkNormal, 0, 4, 12, "a")}},
        TLineCase{"RunsOfSpacesBetweenNumbers",
                  "*   0  4   12  a\n-  16   20\n",
                  {MakeNote(nkGolden, 0, 4, 12, " a"), MakeNote(nkLineBreak, 16)}},
        TLineCase{"NumberRightAfterTheKind",
                  ":0 4 12 a\n-20\n",
                  {MakeNote(nkNormal, 0, 4, 12, "a"), MakeNote(nkLineBreak, 20)}},
        TLineCase{"OtherSeparatorAfterTheKind",
                  ":\t0 4 12 a\n--8\n",
                  {MakeNote(nkNormal, 0, 4, 12, "a"), MakeNote(nkLineBreak, 8)}},
        TLineCase{"RapKinds",
                  "R 0 2 0 yo\nG 2 2 0 hey\n- 4\nR 4 1 0\n",
                  {MakeNote(nkRap, 0, 2, 0, "yo"), MakeNote(nkRapGolden, 2, 2, 0, "hey"),
                   MakeNote(nkLineBreak, 4), MakeNote(nkRap, 4, 1, 0)}},
        TLineCase{"DuetVoicesStartAgainAndRaiseApart",
                  "P1\n: 0 10 1 a\n- 12\nP 2 \n: 4 2 1 b\n: 2 1 1 c\nP1\n: 8 1 1 d\n",
                  {MakeNote(nkNormal, 0, 10, 1, "a"), MakeNote(nkLineBreak, 12),
                   SecondVoiceNote(MakeNote(nkNormal, 4, 2, 1, "b")),
                   SecondVoiceNote(MakeNote(nkNormal, 6, 1, 1, "c")),
                   MakeNote(nkNormal, 10, 1, 1, "d")}},
        TLineCase{"RelativeBeats",
                  "#RELATIVE:yes\n: 0 2 1 a\n- 4 8\n: 0 2 1 b\n- 4\n: 1 1 1 c\n",
                  {MakeNote(nkNormal, 0, 2, 1, "a"), MakeNote(nkLineBreak, 4),
                   MakeNote(nkNormal, 8, 2, 1, "b"), MakeNote(nkLineBreak, 12),
                   MakeNote(nkNormal, 13, 1, 1, "c")}},
        TLineCase{"RelativeBeatsPerVoice",
                  "#relative: YES \nP1\n: 0 2 1 a\n- 2  10\nP2\n: 1 2 1 b\n- 3\n: 1 1 1 c\n"
                  "P1\n: 1 1 1 d\n",
                  {MakeNote(nkNormal, 0, 2, 1, "a"), MakeNote(nkLineBreak, 2),
                   SecondVoiceNote(MakeNote(nkNormal, 1, 2, 1, "b")),
                   SecondVoiceNote(MakeNote(nkLineBreak, 3)),
                   SecondVoiceNote(MakeNote(nkNormal, 4, 1, 1, "c")),
                   MakeNote(nkNormal, 11, 1, 1, "d")}},
        TLineCase{"RelativeStartsAreRaisedToo",
                  "#RELATIVE:yes\n: 0 8 1 a\n- 4 2\n: 0 2 1 b\n",
                  {MakeNote(nkNormal, 0, 8, 1, "a"), MakeNote(nkLineBreak, 8),
                   MakeNote(nkNormal, 8, 2, 1, "b")}},
        TLineCase{"NotRelativeWhenTheTagSaysNo",
                  "#RELATIVE:no\n- 4 8\n: 0 2 1 b\n",
                  {MakeNote(nkLineBreak, 4), MakeNote(nkNormal, 0, 2, 1, "b")}},
        TLineCase{"ExtremeNumbers",
                  ": -2147483648 2147483647 -2147483648 a\n: 0 1 2147483647 b\n",
                  {MakeNote(nkNormal, 0, 2147483647, -2147483648, "a"),
                   MakeNote(nkNormal, 2147483647, 1, 2147483647, "b")}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TFailureCase {
  const char* Name;
  std::string Text;
  std::string Message;
  int Line;
};

void PrintTo(const TFailureCase& c, std::ostream* out) {
  *out << c.Name;
}

class BadNoteLines : public testing::TestWithParam<TFailureCase> {};

TEST_P(BadNoteLines, FailWithTheFieldAndLine) {
  try {
    ParseSongText(GetParam().Text);
    FAIL() << "no failure";
  } catch (const ESongReadError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().Message);
    EXPECT_EQ(e.Line, GetParam().Line);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadNoteLines,
    testing::Values(
        TFailureCase{"Letters", ": 0 x 12 a\n", "'x' is not a valid integer value", 1},
        TFailureCase{"MissingPitch", ": 0 4\n", "'' is not a valid integer value", 1},
        TFailureCase{"PrefixOnly", "\r\n\r\n:\r\n", "'' is not a valid integer value", 3},
        TFailureCase{"BeyondInt32", ": 2147483648 1 1 a\n",
                     "'2147483648' is not a valid integer value", 1},
        TFailureCase{"BelowInt32", "- -2147483649\n", "'-2147483649' is not a valid integer value",
                     1},
        TFailureCase{"LoneCrEndsLines", "#A:1\r: 0 1 1 a\r: 1 1 b c\r",
                     "'b' is not a valid integer value", 3},
        TFailureCase{"ControlBytesEscaped", ": 0 \x1B[2J 1 a\n",
                     "'\\x1B[2J' is not a valid integer value", 1},
        TFailureCase{"BytesOfAnUnknownCodePageReplaced", "#ENCODING:KOI8-R\n: 0 \xC1\xFF 1 a\n",
                     "'\xEF\xBF\xBD\xEF\xBF\xBD' is not a valid integer value", 2}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SongText, ByteOrderMarkOnAnyLineIsNotedAndRemoved) {
  TSongFileContent content = ParseSongText("\xEF\xBB\xBF#TITLE:x\r\n#ARTIST:y\r\n");
  EXPECT_TRUE(content.UseBOM);
  EXPECT_EQ(content.Tags, (std::vector<std::string>{"#TITLE:x", "#ARTIST:y"}));
  content = ParseSongText("#TITLE:x\n\xEF\xBB\xBF: 0 1 1 a\n");
  EXPECT_TRUE(content.UseBOM);
  EXPECT_EQ(content.Notes.size(), 1u);
  EXPECT_FALSE(ParseSongText("#TITLE:x\n").UseBOM);
}

TEST(SongText, FailureTellsWhetherAByteOrderMarkWasSeen) {
  try {
    ParseSongText("\xEF\xBB\xBF#A:1\n: x\n");
    FAIL();
  } catch (const ESongReadError& e) {
    EXPECT_TRUE(e.UseBOM);
  }
}

TEST(SongText, OnlyAnExactEEndsTheSong) {
  TSongFileContent content = ParseSongText("#A:1\nE \ne\n: 0 1 1 a\nE\n: 1 1 1 b\n#B:2\n");
  EXPECT_EQ(content.Notes.size(), 1u);
  EXPECT_EQ(content.Tags, (std::vector<std::string>{"#A:1"}));
}

TEST(SongText, HeaderLinesAnywhereAreKeptWhole) {
  TSongFileContent content = ParseSongText("#A:1\n: 0 1 1 a\n#B: two : parts \n");
  EXPECT_EQ(content.Tags, (std::vector<std::string>{"#A:1", "#B: two : parts "}));
}

// The limit is far beyond what the editor writes, and told apart from lines not understood.
TEST(SongText, NoteLinesBeyondTheLimitAreReportedAndHeadersStillRead) {
  std::string text;
  text.reserve(12 * MaxFileRecords + 100);
  for (std::size_t i = 0; i < MaxFileRecords; ++i)
    text += ": " + std::to_string(i) + " 1 5 x\n";
  text += ": nonsense\nx\nP2\n- 99999\n#LATE:yes\n";
  TSongFileContent content = ParseSongText(text);
  EXPECT_EQ(content.Notes.size(), MaxFileRecords);
  EXPECT_EQ(content.Notes.back().Start, std::int32_t(MaxFileRecords - 1));
  EXPECT_EQ(content.Tags, (std::vector<std::string>{"#LATE:yes"}));
  const int first = int(MaxFileRecords) + 1;
  EXPECT_EQ(content.Report.BeyondLimitLines, (std::vector<int>{first, first + 3}));
  EXPECT_EQ(content.Report.UnreadLines, std::vector<int>{first + 1});
  EXPECT_TRUE(content.Report.DropsLines());
}

TEST(SongText, HostileInputIsReadWithoutHarm) {
  std::string garbage;
  for (int i = 0; i < 200000; ++i)
    garbage += static_cast<char>((i * 7919) % 256);
  try {
    ParseSongText(garbage);
  } catch (const ESongReadError&) {
  }
  std::string longLine = ": 0 1 1 " + std::string(100000, 'q') + "\n#" + std::string(100000, 'h');
  TSongFileContent content = ParseSongText(longLine);
  EXPECT_EQ(content.Notes.at(0).Text.Length, 47);
  EXPECT_EQ(content.Tags.at(0).size(), 100001u);
  std::string million;
  million.reserve(12'000'000);
  for (int i = 0; i < 1'000'000; ++i)
    million += ": 1 1 1 a\n";
  EXPECT_EQ(ParseSongText(million).Notes.size(), MaxFileRecords);
}

TEST(SongText, StartRaisedPastTheLastBeatStaysInRange) {
  TSongFileContent content = ParseSongText(": 2147483000 2000 1 a\n: 0 1 1 b\n- 5\n");
  EXPECT_EQ(content.Notes[1].Start, 2147483647);
  EXPECT_EQ(content.Notes[2].Start, 2147483647);
}

TEST(SongText, RelativeOffsetsBeyondTheLastBeatStayInRange) {
  TSongFileContent content =
      ParseSongText("#RELATIVE:yes\n- 2147483647 2147483647\n- 2147483647\n: 5 1 1 a\n");
  EXPECT_EQ(content.Notes[1].Start, 2147483647);
  EXPECT_EQ(content.Notes[2].Start, 2147483647);
}

// What a file of another tool reads as: its header lines, its texts and the report.
struct TForeignCase {
  const char* Name;
  std::string Text;
  std::vector<std::string> Tags;
  std::vector<std::string> Texts;
  TReadingReport Report;
};

void PrintTo(const TForeignCase& c, std::ostream* out) {
  *out << c.Name;
}

TReadingReport Converted(const char* from) {
  TReadingReport report;
  report.ConvertedFrom = from;
  return report;
}

class ForeignFiles : public testing::TestWithParam<TForeignCase> {};

TEST_P(ForeignFiles, AreReadWithTheirFacts) {
  TSongFileContent content = ParseSongText(GetParam().Text);
  EXPECT_EQ(content.Tags, GetParam().Tags);
  std::vector<std::string> texts;
  for (const TNote& note : content.Notes)
    if (!note.IsLineBreak()) texts.push_back(note.Text.Str());
  EXPECT_EQ(texts, GetParam().Texts);
  EXPECT_EQ(content.Report, GetParam().Report);
  EXPECT_EQ(ReadingNotices(content.Report), ReadingNotices(GetParam().Report));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForeignFiles,
    testing::Values(TForeignCase{"Utf8IsLeftAlone",
                                 "#TITLE:Caf\xC3\xA9\n#ENCODING:UTF8\n: 0 1 1 \xC3\xA9\n",
                                 {"#TITLE:Caf\xC3\xA9", "#ENCODING:UTF8"},
                                 {"\xC3\xA9"},
                                 {}},
                    TForeignCase{"Windows1252WithoutTag",
                                 "#TITLE:Caf\xE9\n: 0 1 1 \x93Hi\x94\n",
                                 {"#TITLE:Caf\xC3\xA9"},
                                 {"\xE2\x80\x9CHi\xE2\x80\x9D"},
                                 Converted("Windows-1252")},
                    TForeignCase{"MixLeftByAnEarlierEdit",
                                 "#ENCODING:utf-8\n#TITLE:Caf\xE9\n: 0 1 1 \xC3\xA9t\xE9\n",
                                 {"#ENCODING:utf-8", "#TITLE:Caf\xC3\xA9"},
                                 {"\xC3\xA9t\xC3\xA9"},
                                 Converted("Windows-1252")},
                    TForeignCase{"Windows1252NamedIsConvertedWhole",
                                 "#ENCODING:Windows-1252\n#TITLE:\xC3\xA9\n",
                                 {"#TITLE:\xC3\x83\xC2\xA9"},
                                 {},
                                 Converted("Windows-1252")},
                    TForeignCase{"Latin1Named",
                                 "#encoding: iso-8859-1\n: 0 1 1 \x80\xE9\n",
                                 {},
                                 {"\xC2\x80\xC3\xA9"},
                                 Converted("ISO-8859-1")},
                    TForeignCase{"EncodingNamedAfterTheNotes",
                                 ": 0 1 1 \xE9\n#ENCODING:CP1252\n",
                                 {},
                                 {"\xC3\xA9"},
                                 Converted("Windows-1252")},
                    TForeignCase{"UnsupportedCodePageKeepsTheBytes",
                                 "#ENCODING:CP1250\n: 0 1 1 \xB9\n",
                                 {"#ENCODING:CP1250"},
                                 {"\xB9"},
                                 [] {
                                   TReadingReport report;
                                   report.UnsupportedEncoding = "CP1250";
                                   return report;
                                 }()},
                    TForeignCase{"RelativeTagsAreUsedUp",
                                 "#RELATIVE:yes\n#TITLE:t\n#Relative:NO\n",
                                 {"#TITLE:t"},
                                 {},
                                 [] {
                                   TReadingReport report;
                                   report.ConvertedRelative = true;
                                   return report;
                                 }()},
                    TForeignCase{"LinesNotUnderstood",
                                 "#A:1\nx\n \t\nB 10 200\nf 0 1 1 a\nP3\n: 0 1 1 b\nE\njunk\n",
                                 {"#A:1"},
                                 {"b"},
                                 [] {
                                   TReadingReport report;
                                   report.UnreadLines = {2, 4, 5, 6};
                                   return report;
                                 }()},
                    TForeignCase{"TextsCutOnACharacterBoundary",
                                 ": 0 1 1 " + std::string(50, 'a') + "\n: 1 1 1 " +
                                     std::string(46, 'b') + "\xE9\n: 2 1 1 " +
                                     std::string(45, 'c') + "\xE9\n",
                                 {},
                                 {std::string(47, 'a'), std::string(46, 'b'),
                                  std::string(45, 'c') + "\xC3\xA9"},
                                 [] {
                                   TReadingReport report = Converted("Windows-1252");
                                   report.CutTextLines = {1, 2};
                                   return report;
                                 }()}),
    [](const auto& info) { return std::string(info.param.Name); });

// "#TITLE:Café", "#ENCODING:UTF-16", a note "🎤" and "E" in UTF-16, with its byte
// order mark or without.
std::string Utf16Song(bool bigEndian, bool mark = true) {
  const std::u16string text =
      u"#TITLE:Caf\u00e9\r\n#ENCODING:UTF-16\r\n: 0 1 1 \U0001F3A4\r\nE\r\n";
  std::string bytes = !mark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(SongText, Utf16FilesOfBothByteOrdersWithAndWithoutMark) {
  for (bool mark : {true, false}) {
    for (bool bigEndian : {false, true}) {
      TSongFileContent content = ParseSongText(Utf16Song(bigEndian, mark));
      EXPECT_EQ(content.Tags, (std::vector<std::string>{"#TITLE:Caf\xC3\xA9"}));
      ASSERT_EQ(content.Notes.size(), 1u);
      EXPECT_EQ(content.Notes[0].Text.Str(), "\xF0\x9F\x8E\xA4");
      EXPECT_EQ(content.UseBOM, mark);
      EXPECT_EQ(content.Report, Converted(bigEndian ? "UTF-16BE" : "UTF-16LE"));
    }
  }
}

// What reading changes or leaves out, told with the line it happened on.
struct TReportCase {
  const char* Name;
  std::string Text;
  TReadingReport Report;
};

void PrintTo(const TReportCase& c, std::ostream* out) {
  *out << c.Name;
}

TReadingReport Ignored(std::vector<TIgnoredNumber> numbers) {
  TReadingReport report;
  report.IgnoredNumbers = std::move(numbers);
  return report;
}

TReadingReport Lines(std::vector<int> TReadingReport::*field, std::vector<int> lines) {
  TReadingReport report;
  report.*field = std::move(lines);
  return report;
}

class ReportedChanges : public testing::TestWithParam<TReportCase> {};

TEST_P(ReportedChanges, AreInTheReport) {
  EXPECT_EQ(ParseSongText(GetParam().Text).Report, GetParam().Report);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportedChanges,
    testing::Values(
        TReportCase{"BpmWithJunk", "#TITLE:t\n#BPM:123#0\n",
                    Ignored({{2, "#BPM", "123#0", "125"}})},
        TReportCase{"BpmNaN", "#BPM:NaN\n", Ignored({{1, "#BPM", "NaN", "125"}})},
        TReportCase{"BpmBeyondRange", "#bpm:1e400\n", Ignored({{1, "#BPM", "1e400", "125"}})},
        TReportCase{"BpmEmpty", "#BPM:\n", Ignored({{1, "#BPM", "", "125"}})},
        TReportCase{"GapsNotNumbers", "#GAP:soon\n: 0 1 1 a\n#VIDEOGAP:1,5s\n",
                    Ignored({{1, "#GAP", "soon", "0"}, {3, "#VIDEOGAP", "1,5s", "0"}})},
        TReportCase{"NumbersRead", "#BPM:300,5\n#GAP:1500.5\n#VIDEOGAP:-2\n", {}},
        TReportCase{"OnlyTheFirstLineCounts", "#BPM:200\n#BPM:fast\n", {}},
        TReportCase{"StartBeforeBeatZero", ": -8 2 1 a\n: 2 1 1 b\n",
                    Lines(&TReadingReport::RaisedStartLines, {1})},
        TReportCase{"StartsBeforeThePreviousEnd", ": 0 10 1 a\n: 6 4 1 b\n- 4\n: 20 1 1 c\n",
                    Lines(&TReadingReport::RaisedStartLines, {2, 3})},
        TReportCase{"VoicesRaiseApart", "P1\n: 0 10 1 a\nP2\n: 4 2 1 b\n- 6\n", {}},
        TReportCase{"LinesAfterTheEnd",
                    "#A:1\n: 0 1 1 a\nE\n\n: 1 1 1 b\nx\n#B:2\nE\n\xEF\xBB\xBF- 5\n",
                    Lines(&TReadingReport::AfterEndLines, {5, 7, 9})}),
    [](const auto& info) { return std::string(info.param.Name); });

// Files opened by mistake are refused by name; a song of header lines only, as
// New Song makes it, is a song.
TEST(SongFile, FilesThatAreNotSongsAreRefused) {
  std::mt19937 random(12);
  std::string noise;
  for (int i = 0; i < 3000; ++i)
    noise += static_cast<char>(random());
  std::string controls;
  for (int i = 0; i < 100; ++i)
    controls += "a\x01\x02\x7F"; // binary without a NUL
  struct {
    const char* Name;
    std::string Bytes;
  } refused[] = {
      {"sound.wav.txt",
       std::string("RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0", 24) + "FF4\xB1 data"},
      {"noise.txt", noise},
      {"controls.txt", controls},
      {"CMakeLists.txt", "cmake_minimum_required(VERSION 3.20)\nproject(demo CXX)\n"
                         "# Build: the program\nadd_executable(demo main.cpp)\n"},
      {"empty.txt", ""},
      {"unknown tags.txt", "#FOO:1\n#BAR:2\nE\n"},
      {"bad\x01\xFF.txt", noise},
  };
  TTempFolder folder;
  for (const auto& c : refused) {
    try {
      ReadSongFile(folder.Write(c.Name, c.Bytes));
      ADD_FAILURE() << c.Name << " was read";
    } catch (const ENotASongFile& e) {
      EXPECT_EQ(std::string(e.what()), PrintableName(c.Name) + " is not a song file");
    }
  }
  struct {
    const char* Name;
    std::string Bytes;
    std::size_t Notes;
  } songs[] = {
      {"new.txt", "#TITLE:New\r\n#ARTIST:Me\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\nE\r\n", 0},
      {"notes only.txt", ": 0 1 1 a\n", 1},
      {"lower case tag.txt", "#title:x\n", 0},
      {"utf16 without mark.txt", Utf16Song(false, false), 1},
      {"a stray control.txt", "#TITLE:x\n: 0 1 1 a\x01b\n", 1},
  };
  for (const auto& c : songs)
    EXPECT_EQ(ReadSongFile(folder.Write(c.Name, c.Bytes)).Notes.size(), c.Notes) << c.Name;
}

struct THeaderCase {
  const char* Name;
  std::vector<std::string> Tags;
  double BPM, MusicOffset, VideoGap;
};

void PrintTo(const THeaderCase& c, std::ostream* out) {
  *out << c.Name;
}

class HeaderNumbers : public testing::TestWithParam<THeaderCase> {};

TEST_P(HeaderNumbers, AreRead) {
  THeaderNumbers numbers = ReadHeaderNumbers(GetParam().Tags);
  EXPECT_EQ(numbers.BPM, GetParam().BPM);
  EXPECT_EQ(numbers.MusicOffset, GetParam().MusicOffset);
  EXPECT_EQ(numbers.VideoGap, GetParam().VideoGap);
  EXPECT_FALSE(std::signbit(numbers.MusicOffset) && numbers.MusicOffset == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderNumbers,
    testing::Values(
        THeaderCase{"Missing", {}, 125, 0, 0},
        THeaderCase{"Comma", {"#BPM:300,5", "#GAP:1500", "#VIDEOGAP:2,5"}, 300.5, -1.5, 2.5},
        THeaderCase{
            "DecimalPoint", {"#BPM:300.5", "#GAP:1500.25", "#VIDEOGAP:0.75"}, 300.5, -1.5, 0.75},
        THeaderCase{"GapRoundsHalfToEven", {"#GAP:1500,5", "#BPM: 200 "}, 200, -1.5, 0},
        THeaderCase{"GapOddHalfRoundsUp", {"#GAP:1501.5"}, 125, -1.502, 0},
        THeaderCase{"NamesIgnoreCase", {"#bpm:100", "#Gap:-250", "#videogap:1"}, 100, 0.25, 1},
        THeaderCase{"FirstLineWins", {"#BPM:100", "#BPM:200"}, 100, 0, 0},
        THeaderCase{"NotANumber", {"#BPM:fast", "#GAP:1,2,3", "#VIDEOGAP:1.5,5"}, 125, 0, 0},
        THeaderCase{"BothSeparators", {"#BPM:1.000,5"}, 125, 0, 0},
        THeaderCase{"OutOfRange", {"#BPM:1e999", "#GAP:-0"}, 125, 0, 0},
        THeaderCase{"Exponent", {"#BPM:3e2"}, 300, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GuessTranspose, FollowsTheMeanPitch) {
  struct {
    std::int32_t Mean;
    std::int32_t Transpose;
  } cases[] = {{0, 12}, {3, 12}, {4, 0}, {16, 0}, {17, -12}, {60, -48}, {64, -60}, {75, -72}};
  for (auto c : cases) {
    std::vector<TNote> notes(3, MakeNote(nkNormal, 0, 1, c.Mean));
    EXPECT_EQ(GuessTranspose(notes), c.Transpose) << c.Mean;
  }
  EXPECT_EQ(GuessTranspose({}), 0);
  // Line breaks count with pitch 0, and (33 + 0) / 2 = 16.5 rounds to the even 16.
  EXPECT_EQ(GuessTranspose({MakeNote(nkNormal, 0, 1, 33), MakeNote(nkLineBreak, 1)}), 0);
  EXPECT_EQ(GuessTranspose({MakeNote(nkNormal, 0, 1, 35), MakeNote(nkLineBreak, 1)}), -12);
}

} // namespace
