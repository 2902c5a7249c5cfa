#pragma once
// Reading a song file: the records, the header lines and the byte order mark,
// and from the header the tempo, the gaps and the transpose guess. Files of other
// tools are taken too: rap notes, the two voices of a duet, relative beats,
// single-byte code pages and UTF-16; the model always gets absolute beats and UTF-8.
#include "song/note.h"
#include "song/reading_report.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace songData {

struct TSongFileContent {
  std::vector<TNote> Notes; // in file order, at most MaxFileRecords
  // Without the lines reading used up: "#RELATIVE" once the beats are absolute,
  // "#ENCODING" once the texts are UTF-8.
  std::vector<std::string> Tags;
  bool UseBOM = false;
  TReadingReport Report;
};

// A song file that cannot be read. what() is the message the user reads.
class ESongReadError : public std::runtime_error {
public:
  ESongReadError(const std::string& message, int line, bool useBOM)
      : std::runtime_error(message), Line(line), UseBOM(useBOM) {}
  int Line;    // 1-based line of the failure; 0 when it is not on one line
  bool UseBOM; // whether a line read before the failure began with a byte order mark
};

// A file that is not text, or holds neither a note nor a song tag: "NAME is not
// a song file", with the file's name.
class ENotASongFile : public ESongReadError {
public:
  explicit ENotASongFile(const std::string& path);
};

TSongFileContent ParseSongText(std::string_view bytes);
// Throws ENotASongFile, or ESongReadError for a file that cannot be read or a
// note line that is not understood. No message shows the file's raw bytes.
TSongFileContent ReadSongFile(const std::string& path);

struct THeaderNumbers {
  double BPM = 125.0;
  double MusicOffset = 0.0;
  double VideoGap = 0.0;
};

THeaderNumbers ReadHeaderNumbers(const std::vector<std::string>& tags);
std::int32_t GuessTranspose(const std::vector<TNote>& notes);

} // namespace songData
