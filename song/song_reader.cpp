#include "song/song_reader.h"

#include "song/safe_text.h"
#include "song/song_file_kind.h"
#include "song/song_model.h"
#include "song/song_tags.h"
#include "song/text_encoding.h"
#include "support/file_io.h"
#include "support/number_text.h"
#include "support/runtime_errors.h"
#include "support/string_utils.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <optional>

namespace songData {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The lines of a text with their 1-based numbers. A line ends at CR LF, LF or a lone CR.
class TLineCursor {
public:
  explicit TLineCursor(std::string_view bytes) : bytes_(bytes) {}

  bool Next(std::string_view& line) {
    if (pos_ >= bytes_.size()) return false;
    std::size_t end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\n' && bytes_[end] != '\r')
      ++end;
    line = bytes_.substr(pos_, end - pos_);
    pos_ = end + 1 < bytes_.size() && bytes_[end] == '\r' && bytes_[end + 1] == '\n' ? end + 2
                                                                                     : end + 1;
    ++number_;
    return true;
  }
  int Number() const { return number_; }

private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
  int number_ = 0;
};

bool RemoveByteOrderMark(std::string_view& line) {
  if (line.substr(0, 3) != ByteOrderMark) return false;
  line.remove_prefix(3);
  return true;
}

std::string_view TagValueOf(std::string_view line) {
  return line.substr(line.find(':') + 1);
}

// A header number in the comma form of this program or with the decimal point
// that other tools write.
std::optional<double> HeaderNumber(std::string_view text) {
  double value = 0;
  if (!MyServis::TryParseFloat(text, ',', value) && !MyServis::TryParseFloat(text, '.', value))
    return std::nullopt;
  return value;
}

// What a load uses when a header number is missing or not a number.
struct THeaderDefault {
  std::string_view Tag;
  std::string_view UsedText;
};
constexpr THeaderDefault HeaderDefaults[] = {{"#BPM", "125"}, {"#GAP", "0"}, {"#VIDEOGAP", "0"}};

// How the file's bytes become the model's UTF-8.
enum class TDecoding {
  dcRepair,  // UTF-8, with stray bytes read as Windows-1252
  dcConvert, // a single-byte code page the file names
  dcKeep,    // already UTF-8 (from UTF-16), or a code page this program cannot convert
};

// What a file says about itself, from its first "#ENCODING" and "#RELATIVE" lines
// up to the "E" (they may stand anywhere, also after notes).
struct TFileRules {
  TDecoding Decoding = TDecoding::dcRepair;
  TCodePage Page = TCodePage::cpUtf8;
  std::string EncodingName;
  bool Relative = false;
};

TFileRules ReadFileRules(std::string_view bytes) {
  TFileRules rules;
  bool encodingSeen = false, relativeSeen = false;
  TLineCursor lines(bytes);
  std::string_view line;
  while (lines.Next(line) && !(encodingSeen && relativeSeen)) {
    RemoveByteOrderMark(line);
    if (line == "E") break;
    if (!encodingSeen && IsTagNamed(line, "#ENCODING")) {
      encodingSeen = true;
      rules.EncodingName = MyServis::TrimBlanks(TagValueOf(line));
      rules.Page = CodePageNamed(rules.EncodingName);
    } else if (!relativeSeen && IsTagNamed(line, "#RELATIVE")) {
      relativeSeen = true;
      rules.Relative = MyServis::SameText(MyServis::TrimBlanks(TagValueOf(line)), "yes");
    }
  }
  if (rules.Page == TCodePage::cpWindows1252 || rules.Page == TCodePage::cpLatin1)
    rules.Decoding = TDecoding::dcConvert;
  else if (rules.Page == TCodePage::cpUnsupported)
    rules.Decoding = TDecoding::dcKeep;
  return rules;
}

const char* CodePageText(TCodePage page) {
  return page == TCodePage::cpLatin1 ? "ISO-8859-1" : "Windows-1252";
}

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
  case 'R':
    return nkRap;
  case 'G':
    return nkRapGolden;
  default:
    return TNoteKind(0);
  }
}

// "P1", "P2", "P 1" or "P 2": the voice whose notes follow.
std::optional<std::uint8_t> VoiceMarker(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  if (line == "P1" || line == "P 1") return FirstVoice;
  if (line == "P2" || line == "P 2") return SecondVoice;
  return std::nullopt;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The numbers of a note line after its kind character: right after it, as in
// "-20", or after one separator, normally a space. Runs of spaces between numbers
// are one separator; the text begins after the single space that ends the pitch.
class TFieldReader {
public:
  explicit TFieldReader(std::string_view line) : rest_(line.substr(1)) {
    if (!rest_.empty() && !std::isdigit(static_cast<unsigned char>(rest_.front())))
      rest_.remove_prefix(1);
  }

  std::int32_t Number() {
    rest_.remove_prefix(std::min(rest_.find_first_not_of(' '), rest_.size()));
    std::size_t space = std::min(rest_.find(' '), rest_.size());
    std::string_view field = rest_.substr(0, space);
    rest_.remove_prefix(space);
    std::int32_t value = 0;
    if (!MyServis::TryParseInt32(field, value))
      throw MyServis::EConvertError("'" + PrintableText(field) + "' is not a valid integer value");
    return value;
  }
  bool HasMore() const { return rest_.find_first_not_of(' ') != std::string_view::npos; }
  std::string_view Text() const { return rest_.empty() ? rest_ : rest_.substr(1); }

private:
  std::string_view rest_;
};

// Where each voice stands: its notes never start before the end of its previous
// note, and with relative beats its starts count from its line offset.
struct TVoiceReading {
  std::int64_t End = 0;
  std::int64_t Offset = 0;
};

std::int32_t Narrow(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// Returns whether the text had to be cut to what a note holds.
bool StoreText(TNote& note, std::string_view text) {
  note.Text = text;
  return note.Text.Length < text.size();
}

class TSongTextReader {
public:
  TSongTextReader(std::string_view bytes, TSongFileContent& content)
      : bytes_(bytes), content_(content) {
    const std::optional<TUtf16Form> utf16 = Utf16FormOf(bytes_);
    fromUtf16_ = utf16.has_value();
    if (fromUtf16_) {
      utf16_ = Utf16ToUtf8(bytes_.substr(utf16->MarkSize), utf16->BigEndian);
      bytes_ = utf16_;
      // The saved UTF-8 keeps the file's mark of its encoding.
      content_.UseBOM = utf16->MarkSize > 0;
      content_.Report.ConvertedFrom = utf16->BigEndian ? "UTF-16BE" : "UTF-16LE";
    }
    rules_ = ReadFileRules(bytes_);
    if (fromUtf16_) {
      rules_.Decoding = TDecoding::dcKeep;
    } else if (rules_.Decoding == TDecoding::dcConvert) {
      content_.Report.ConvertedFrom = CodePageText(rules_.Page);
    } else if (rules_.Page == TCodePage::cpUnsupported) {
      content_.Report.UnsupportedEncoding = rules_.EncodingName;
    }
    content_.Report.ConvertedRelative = rules_.Relative;
  }

  void Read() {
    TLineCursor lines(bytes_);
    std::string_view line;
    while (lines.Next(line)) {
      if (RemoveByteOrderMark(line)) content_.UseBOM = true;
      line = Decoded(line);
      if (line.empty()) continue;
      if (line == "E") {
        NoteLinesAfterTheEnd(lines);
        break;
      }
      if (line.front() == '#') {
        if (!DropsTag(line)) {
          content_.Tags.emplace_back(line);
          tagLines_.push_back(lines.Number());
        }
        continue;
      }
      if (std::optional<std::uint8_t> voice = VoiceMarker(line)) {
        voice_ = *voice;
        continue;
      }
      TNoteKind kind = KindOfPrefix(line.front());
      if (kind == 0) {
        if (!IsBlank(line)) content_.Report.UnreadLines.push_back(lines.Number());
        continue;
      }
      if (content_.Notes.size() >= MaxFileRecords) {
        content_.Report.BeyondLimitLines.push_back(lines.Number());
        continue;
      }
      try {
        ReadNote(line, kind, lines.Number());
      } catch (const MyServis::EConvertError& e) {
        throw ESongReadError(e.what(), lines.Number(), content_.UseBOM);
      }
    }
    if (repaired_) content_.Report.ConvertedFrom = CodePageText(TCodePage::cpWindows1252);
    NoteIgnoredNumbers();
  }

private:
  // A save ends the file at its "E": what is left after it is lost.
  void NoteLinesAfterTheEnd(TLineCursor& lines) {
    std::string_view line;
    while (lines.Next(line)) {
      RemoveByteOrderMark(line);
      if (!line.empty() && (line.front() == '#' || KindOfPrefix(line.front()) != 0))
        content_.Report.AfterEndLines.push_back(lines.Number());
    }
  }

  // The header numbers that a load replaces by their defaults.
  void NoteIgnoredNumbers() {
    for (const THeaderDefault& number : HeaderDefaults) {
      const std::optional<std::size_t> at = FindTag(content_.Tags, number.Tag);
      if (!at) continue;
      const std::string value(TagValueOf(content_.Tags[*at]));
      if (!HeaderNumber(value))
        content_.Report.IgnoredNumbers.push_back(
            {tagLines_[*at], std::string(number.Tag), value, std::string(number.UsedText)});
    }
  }

  std::string_view Decoded(std::string_view line) {
    if (rules_.Decoding == TDecoding::dcConvert) {
      decoded_ = SingleByteToUtf8(line, rules_.Page);
      return decoded_;
    }
    if (rules_.Decoding == TDecoding::dcRepair && !IsValidUtf8(line)) {
      decoded_ = RepairedUtf8(line);
      repaired_ = true;
      return decoded_;
    }
    return line;
  }

  // The lines whose meaning reading used up.
  bool DropsTag(std::string_view line) const {
    if (IsTagNamed(line, "#RELATIVE")) return rules_.Relative;
    // Once converted the texts are UTF-8, whatever code page the line named.
    if (IsTagNamed(line, "#ENCODING"))
      return (rules_.Decoding == TDecoding::dcConvert || fromUtf16_) &&
             CodePageNamed(TagValueOf(line)) != TCodePage::cpUtf8;
    return false;
  }

  void ReadNote(std::string_view line, TNoteKind kind, int lineNumber) {
    TVoiceReading& voice = voices_[voice_ - 1];
    TFieldReader fields(line);
    TNote note;
    note.Kind = kind;
    note.Voice = voice_;
    const std::int32_t written = fields.Number();
    if (kind != nkLineBreak) {
      note.Length = fields.Number();
      note.Pitch = fields.Number();
      if (StoreText(note, fields.Text())) content_.Report.CutTextLines.push_back(lineNumber);
    }
    std::int64_t start = (rules_.Relative ? voice.Offset : 0) + written;
    if (start < voice.End) content_.Report.RaisedStartLines.push_back(lineNumber);
    note.Start = Narrow(std::max(start, voice.End));
    if (kind != nkLineBreak) voice.End = static_cast<std::int64_t>(note.Start) + note.Length;
    // "- a b" moves the offset by b, "- a" by a.
    if (rules_.Relative && kind == nkLineBreak)
      voice.Offset += fields.HasMore() ? fields.Number() : written;
    content_.Notes.push_back(note);
  }

  std::string_view bytes_;
  TSongFileContent& content_;
  bool fromUtf16_ = false;
  std::string utf16_;
  std::string decoded_;
  TFileRules rules_;
  bool repaired_ = false;
  std::uint8_t voice_ = FirstVoice;
  TVoiceReading voices_[2];
  std::vector<int> tagLines_; // the line of each of content_.Tags
};

double ParseHeaderNumber(const std::vector<std::string>& tags, std::string_view name,
                         double missing) {
  const std::optional<double> value = HeaderNumber(TagValue(tags, name));
  return !value ? missing : *value == 0 ? 0.0 : *value;
}

} // namespace

TSongFileContent ParseSongText(std::string_view bytes) {
  TSongFileContent content;
  TSongTextReader(bytes, content).Read();
  return content;
}

TSongFileContent ReadSongFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = MyServis::ReadFileBytes(path);
  } catch (const MyServis::EInOutError& e) {
    // The path may hold any bytes a file name can.
    throw ESongReadError(PrintableText(e.what()), 0, false);
  }
  if (!LooksLikeText(bytes)) throw ENotASongFile(path);
  TSongFileContent content = ParseSongText(bytes);
  if (content.Notes.empty() && !HasSongTag(content.Tags)) throw ENotASongFile(path);
  return content;
}

ENotASongFile::ENotASongFile(const std::string& path)
    : ESongReadError(PrintableText(MyServis::NameOfPath(path)) + " is not a song file", 0, false) {}

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
