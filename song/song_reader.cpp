#include "song/song_reader.h"

#include "song/song_model.h"
#include "song/song_tags.h"
#include "support/file_io.h"
#include "support/number_text.h"
#include "support/runtime_errors.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace songData {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

TNoteKind KindOfPrefix(char c) {
  switch (c) {
  case ':':
    return nkNormal;
  case '*':
    return nkGolden;
  case 'F':
    return nkFreestyle;
  case '-':
    return nkLineBreak;
  default:
    return TNoteKind(0);
  }
}

// The field up to the next single space, which is consumed with it.
std::string_view NextField(std::string_view& rest) {
  std::size_t space = rest.find(' ');
  std::string_view field = rest.substr(0, space);
  rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
  return field;
}

TNote ParseNoteLine(std::string_view line, TNoteKind kind) {
  std::string_view rest = line.size() > 2 ? line.substr(2) : std::string_view();
  TNote note;
  note.Kind = kind;
  if (kind == nkLineBreak) {
    note.Start = MyServis::ParseInt32(NextField(rest));
    return note;
  }
  note.Start = MyServis::ParseInt32(NextField(rest));
  note.Length = MyServis::ParseInt32(NextField(rest));
  std::size_t space = rest.find(' ');
  note.Pitch = MyServis::ParseInt32(rest.substr(0, space));
  if (space != std::string_view::npos) note.Text = rest.substr(space + 1);
  return note;
}

// Raises starts that lie before the end of the previous note, so read notes never overlap.
class TStartRaiser {
public:
  void Apply(TNote& note) {
    if (note.Start < end_)
      note.Start = static_cast<std::int32_t>(std::min<std::int64_t>(end_, INT32_MAX));
    if (!note.IsLineBreak()) end_ = static_cast<std::int64_t>(note.Start) + note.Length;
  }

private:
  std::int64_t end_ = 0;
};

double ParseHeaderNumber(const std::vector<std::string>& tags, std::string_view name,
                         double missing) {
  std::string text = TagValue(tags, name);
  double value = 0;
  // Other tools write a decimal point where this program writes a comma.
  if (!MyServis::TryParseFloat(text, ',', value) && !MyServis::TryParseFloat(text, '.', value))
    return missing;
  return value == 0 ? 0.0 : value;
}

} // namespace

TSongFileContent ParseSongText(std::string_view bytes) {
  TSongFileContent content;
  TStartRaiser raiser;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // A line ends at CR LF, LF or a lone CR.
    std::size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
      ++end;
    std::string_view line = bytes.substr(pos, end - pos);
    pos =
        end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n'
            ? end + 2
            : end + 1;
    ++lineNumber;

    if (line.size() >= 3 && line.substr(0, 3) == ByteOrderMark) {
      content.UseBOM = true;
      line.remove_prefix(3);
    }
    if (line.empty()) continue;
    if (line == "E") break;
    if (line.front() == '#') {
      content.Tags.emplace_back(line);
      continue;
    }
    TNoteKind kind = KindOfPrefix(line.front());
    if (kind == 0 || content.Notes.size() >= MaxFileRecords) continue;
    try {
      TNote note = ParseNoteLine(line, kind);
      raiser.Apply(note);
      content.Notes.push_back(note);
    } catch (const MyServis::EConvertError& e) {
      throw ESongReadError(e.what(), lineNumber, content.UseBOM);
    }
  }
  return content;
}

TSongFileContent ReadSongFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = MyServis::ReadFileBytes(path);
  } catch (const MyServis::EInOutError& e) {
    throw ESongReadError(e.what(), 0, false);
  }
  return ParseSongText(bytes);
}

THeaderNumbers ReadHeaderNumbers(const std::vector<std::string>& tags) {
  THeaderNumbers numbers;
  numbers.BPM = ParseHeaderNumber(tags, "#BPM", 125.0);
  // 0 - x rather than -x, so that a gap of 0 gives +0.
  numbers.MusicOffset = 0.0 - std::nearbyint(ParseHeaderNumber(tags, "#GAP", 0.0)) / 1000.0;
  numbers.VideoGap = ParseHeaderNumber(tags, "#VIDEOGAP", 0.0);
  return numbers;
}

std::int32_t GuessTranspose(const std::vector<TNote>& notes) {
  if (notes.empty()) return 0;
  std::int64_t sum = 0;
  for (const TNote& note : notes)
    sum += note.Pitch; // line breaks count with pitch 0
  auto mean = static_cast<std::int64_t>(
      std::nearbyint(static_cast<double>(sum) / static_cast<double>(notes.size())));
  if (mean < 4) return 12;
  if (mean > 16) return static_cast<std::int32_t>(-12 * ((mean - 3) / 12));
  return 0;
}

} // namespace songData
