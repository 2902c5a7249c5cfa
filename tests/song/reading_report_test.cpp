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
  report.CutTextLines = {2, 3};
  report.UnreadLines = {9};
  EXPECT_EQ(ReadingNotices(report),
            (std::vector<std::string>{
                "2 texts were cut to 47 bytes (lines 2-3).",
                "1 line of this file was not understood and will be dropped on save (line 9)."}));
}

} // namespace
