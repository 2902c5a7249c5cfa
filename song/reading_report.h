#pragma once
// What reading a song file changed or could not keep, so that the user is told
// once instead of finding out after a save.
#include <string>
#include <vector>

namespace songData {

struct TReadingReport {
  // The encoding the texts were converted from to UTF-8 ("Windows-1252",
  // "ISO-8859-1", "UTF-16LE", "UTF-16BE"); empty when the file was UTF-8.
  std::string ConvertedFrom;
  // An "#ENCODING" value naming a code page this program cannot convert; the
  // texts then keep the file's own bytes.
  std::string UnsupportedEncoding;
  // "#RELATIVE:yes": the beats were made absolute, and the file is saved so.
  bool ConvertedRelative = false;
  // 1-based lines whose text was longer than a note holds and was cut.
  std::vector<int> CutTextLines;
  // 1-based lines that are dropped on save: not understood, or note lines beyond
  // the most records a file gives.
  std::vector<int> UnreadLines;

  bool Empty() const { return *this == TReadingReport(); }
  bool operator==(const TReadingReport&) const = default;
};

// One sentence for each fact, in the order of the fields.
std::vector<std::string> ReadingNotices(const TReadingReport& report);

// Ascending line numbers as "4, 9-12".
std::string LineRanges(const std::vector<int>& lines);

} // namespace songData
