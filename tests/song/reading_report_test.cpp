#include "song/reading_report.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

TEST(ReadingReport, LineRangesJoinRuns) {
  EXPECT_EQ(LineRanges({}), "");
  EXPECT_EQ(LineRanges({7}), "7");
  EXPECT_EQ(LineRanges({4, 9, 10, 11, 12, 20, 21}), "4, 9-12, 20-21");
}

TEST(ReadingReport, OneNoticeForEachFact) {
  TReadingReport report;
  EXPECT_TRUE(report.Empty());
  EXPECT_TRUE(ReadingNotices(report).empty());
  report.ConvertedFrom = "Windows-1252";
  report.UnsupportedEncoding = "CP1250";
  report.ConvertedRelative = true;
  report.CutTextLines = {12};
  report.UnreadLines = {3, 5, 6};
  EXPECT_FALSE(report.Empty());
  EXPECT_EQ(
      ReadingNotices(report),
      (std::vector<std::string>{
          "The texts were converted from Windows-1252 and will be saved as UTF-8.",
          "The encoding \"CP1250\" is not supported; the texts are kept as they are.",
          "The relative beats were made absolute and will be saved so.",
          "1 text was cut to 47 bytes (line 12).",
          "3 lines of this file were not understood and will be dropped on save (lines 3, 5-6)."}));
  report = TReadingReport();
  report.BeyondLimitLines = {1000002, 1000003};
  report.AfterEndLines = {40};
  report.RaisedStartLines = {4, 5};
  report.IgnoredNumbers = {{1, "#BPM", "12\x01\xFF", "125"}, {2, "#GAP", "x", "0"}};
  EXPECT_TRUE(report.DropsLines());
  EXPECT_EQ(ReadingNotices(report),
            (std::vector<std::string>{
                "2 note lines lie beyond the 1000000 records a song file may hold; they were not "
                "read and will be dropped on save (lines 1000002-1000003).",
                "1 line after the \"E\" that ends the song was not read and will be dropped on "
                "save (line 40).",
                "2 note lines started before beat 0 or before the end of the previous note and "
                "were moved later (lines 4-5).",
                "The #BPM value \"12\\x01\xEF\xBF\xBD\" on line 1 is not a number; 125 is used "
                "instead.",
                "The #GAP value \"x\" on line 2 is not a number; 0 is used instead."}));
  report = TReadingReport();
  report.RaisedStartLines = {4};
  EXPECT_FALSE(report.DropsLines());
  report = TReadingReport();
  report.CutTextLines = {2, 3};
  report.UnreadLines = {9};
  EXPECT_EQ(ReadingNotices(report),
            (std::vector<std::string>{
                "2 texts were cut to 47 bytes (lines 2-3).",
                "1 line of this file was not understood and will be dropped on save (line 9)."}));
}

} // namespace
