// The lyrics memo's text back into syllables. The input up to its first two
// zero bytes is a small song, one note per line: a kind byte, a voice byte and
// the note's text bytes. The rest is the memo's text in UTF-16LE, one line per
// syllable. Checked: the program's UTF-8 reads back what it writes; taking back
// the memo's own lines changes nothing; a line that fits a note reads back as typed.
#include "require.h"
#include "song/lyrics_text.h"

#include <cstdint>

namespace {

using namespace songData;

TSong SongOf(std::string_view bytes) {
  TSong song;
  while (!bytes.empty() && song.Notes.size() < 64) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    if (line.size() < 2) continue;
    TNote note;
    note.Kind = static_cast<TNoteKind>(1 + static_cast<std::uint8_t>(line[0]) % 6);
    note.Voice = (line[1] & 1) != 0 ? SecondVoice : FirstVoice;
    note.Start = static_cast<std::int32_t>(4 * song.Notes.size());
    note.Length = 2;
    note.Text = line.substr(2);
    song.Notes.push_back(note);
  }
  return song;
}

std::vector<std::u16string> MemoLines(std::string_view bytes) {
  std::vector<std::u16string> lines(1);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                            static_cast<std::uint8_t>(bytes[i + 1]) << 8);
    if (unit == u'\n')
      lines.emplace_back();
    else
      lines.back() += unit;
  }
  return lines;
}

// The text with each unpaired surrogate made U+FFFD.
std::u16string WellFormed(std::u16string text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      ++i;
    else if (c >= 0xD800 && c <= 0xDFFF)
      text[i] = 0xFFFD;
  }
  return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find(std::string_view("\0\0", 2)), input.size());
  TSong song = SongOf(input.substr(0, split));
  const std::vector<std::u16string> typed = MemoLines(input.substr(std::min(split + 2, size)));

  for (const std::u16string& line : typed)
    Require(DecodeText(EncodeText(line)) == WellFormed(line));
  const std::uint8_t voice = (size % 2 == 0) ? FirstVoice : SecondVoice;
  Require(!TakeBackLyrics(song, LyricsLines(song, voice), voice));

  TakeBackLyrics(song, typed, voice);
  const std::vector<std::u16string> shown = LyricsLines(song, voice);
  for (std::size_t i = 0; i < std::min(shown.size(), typed.size()); ++i) {
    if (EncodeText(typed[i]).size() <= TNoteText::Capacity)
      Require(shown[i] == WellFormed(typed[i]));
    Require(SyllableOfLine(song, static_cast<int>(i), voice) >= 0);
  }
  return 0;
}
