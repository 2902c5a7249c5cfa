#pragma once
// What reading a song file changed or could not keep, so that the user is told
// once instead of finding out after a save.
#include <string>
#include <vector>

namespace songData {

// A header number that was not read: the default is used in its place.
struct TIgnoredNumber {
  int Line = 0;      // 1-based
  std::string Tag;   // "#BPM", "#GAP" or "#VIDEOGAP"
  std::string Value; // the file's bytes after the ":"
  std::string Used;  // the default, as the user reads it: "125" or "0"
  bool operator==(const TIgnoredNumber&) const = default;
};

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
  // 1-based lines that are dropped on save because they were not understood.
  std::vector<int> UnreadLines;
  // 1-based note lines beyond the MaxFileRecords records a file gives, dropped on save.
  std::vector<int> BeyondLimitLines;
  // 1-based lines after the "E" that ends the song that hold notes or header
  // lines; reading stops at the "E", so they are dropped on save.
  std::vector<int> AfterEndLines;
  // 1-based note lines whose start was raised: it lay before beat 0 or before
  // the end of the previous note of its voice.
  std::vector<int> RaisedStartLines;
  // "#BPM", "#GAP" or "#VIDEOGAP" lines whose value is not a number.
  std::vector<TIgnoredNumber> IgnoredNumbers;

  bool Empty() const { return *this == TReadingReport(); }
  // Whether a save would leave out lines of the file.
  bool DropsLines() const {
    return !UnreadLines.empty() || !BeyondLimitLines.empty() || !AfterEndLines.empty();
  }
  bool operator==(const TReadingReport&) const = default;
};

// One sentence for each fact, in the order of the fields.
std::vector<std::string> ReadingNotices(const TReadingReport& report);

// Ascending line numbers as "4, 9-12".
std::string LineRanges(const std::vector<int>& lines);

} // namespace songData
