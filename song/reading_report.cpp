#include "song/reading_report.h"

#include "song/safe_text.h"
#include "song/song_model.h"

namespace songData {
namespace {

std::string Lines(const std::vector<int>& lines) {
  return (lines.size() == 1 ? "line " : "lines ") + LineRanges(lines);
}

} // namespace

std::vector<std::string> ReadingNotices(const TReadingReport& report) {
  std::vector<std::string> notices;
  if (!report.ConvertedFrom.empty())
    notices.push_back("The texts were converted from " + report.ConvertedFrom +
                      " and will be saved as UTF-8.");
  if (!report.UnsupportedEncoding.empty())
    notices.push_back("The encoding \"" + PrintableText(report.UnsupportedEncoding) +
                      "\" is not supported; the texts are kept as they are.");
  if (report.ConvertedRelative)
    notices.push_back("The relative beats were made absolute and will be saved so.");
  if (!report.CutTextLines.empty())
    notices.push_back(std::to_string(report.CutTextLines.size()) +
                      (report.CutTextLines.size() == 1 ? " text was" : " texts were") +
                      " cut to 47 bytes (" + Lines(report.CutTextLines) + ").");
  if (!report.UnreadLines.empty())
    notices.push_back(
        std::to_string(report.UnreadLines.size()) +
        (report.UnreadLines.size() == 1 ? " line of this file was" : " lines of this file were") +
        " not understood and will be dropped on save (" + Lines(report.UnreadLines) + ").");
  if (!report.BeyondLimitLines.empty())
    notices.push_back(
        std::to_string(report.BeyondLimitLines.size()) +
        (report.BeyondLimitLines.size() == 1 ? " note line lies" : " note lines lie") +
        " beyond the " + std::to_string(MaxFileRecords) + " records a song file may hold; " +
        (report.BeyondLimitLines.size() == 1 ? "it was" : "they were") +
        " not read and will be dropped on save (" + Lines(report.BeyondLimitLines) + ").");
  if (!report.AfterEndLines.empty())
    notices.push_back(
        std::to_string(report.AfterEndLines.size()) +
        (report.AfterEndLines.size() == 1 ? " line after" : " lines after") +
        " the \"E\" that ends the song " + (report.AfterEndLines.size() == 1 ? "was" : "were") +
        " not read and will be dropped on save (" + Lines(report.AfterEndLines) + ").");
  if (!report.RaisedStartLines.empty())
    notices.push_back(
        std::to_string(report.RaisedStartLines.size()) +
        (report.RaisedStartLines.size() == 1 ? " note line started" : " note lines started") +
        " before beat 0 or before the end of the previous note and " +
        (report.RaisedStartLines.size() == 1 ? "was" : "were") + " moved later (" +
        Lines(report.RaisedStartLines) + ").");
  for (const TIgnoredNumber& number : report.IgnoredNumbers)
    notices.push_back("The " + number.Tag + " value \"" + PrintableText(number.Value) +
                      "\" on line " + std::to_string(number.Line) + " is not a number; " +
                      number.Used + " is used instead.");
  return notices;
}

std::string LineRanges(const std::vector<int>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size();) {
    std::size_t last = i;
    while (last + 1 < lines.size() && lines[last + 1] == lines[last] + 1)
      ++last;
    if (!text.empty()) text += ", ";
    text += std::to_string(lines[i]);
    if (last > i) text += "-" + std::to_string(lines[last]);
    i = last + 1;
  }
  return text;
}

} // namespace songData
