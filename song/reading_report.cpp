#include "song/reading_report.h"

#include "song/safe_text.h"
#include "song/song_model.h"

namespace songData {
namespace {

std::string Lines(const std::vector<int>& lines) {
  return (lines.size() == 1 ? "line " : "lines ") + LineRanges(lines);
}

// The words for one line or for several.
const char* Either(const std::vector<int>& lines, const char* one, const char* many) {
  return lines.size() == 1 ? one : many;
}

// "1 text was", "3 texts were".
std::string Counted(const std::vector<int>& lines, const char* one, const char* many) {
  return std::to_string(lines.size()) + " " + Either(lines, one, many);
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
  const std::vector<int>& cut = report.CutTextLines;
  if (!cut.empty())
    notices.push_back(Counted(cut, "text was", "texts were") + " cut to 47 bytes (" + Lines(cut) +
                      ").");
  const std::vector<int>& unread = report.UnreadLines;
  if (!unread.empty())
    notices.push_back(Counted(unread, "line of this file was", "lines of this file were") +
                      " not understood and will be dropped on save (" + Lines(unread) + ").");
  const std::vector<int>& beyond = report.BeyondLimitLines;
  if (!beyond.empty())
    notices.push_back(Counted(beyond, "note line lies", "note lines lie") + " beyond the " +
                      std::to_string(MaxFileRecords) + " records a song file may hold; " +
                      Either(beyond, "it was", "they were") +
                      " not read and will be dropped on save (" + Lines(beyond) + ").");
  const std::vector<int>& after = report.AfterEndLines;
  if (!after.empty())
    notices.push_back(Counted(after, "line after", "lines after") +
                      " the \"E\" that ends the song " + Either(after, "was", "were") +
                      " not read and will be dropped on save (" + Lines(after) + ").");
  const std::vector<int>& raised = report.RaisedStartLines;
  if (!raised.empty())
    notices.push_back(Counted(raised, "note line started", "note lines started") +
                      " before beat 0 or before the end of the previous note and " +
                      Either(raised, "was", "were") + " moved later (" + Lines(raised) + ").");
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
