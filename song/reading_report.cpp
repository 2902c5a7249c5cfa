#include "song/reading_report.h"

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
    notices.push_back("The encoding \"" + report.UnsupportedEncoding +
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
