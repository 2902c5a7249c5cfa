// Any bytes as a song file, in every form other tools write (duets, relative
// beats, code pages, UTF-16 with and without byte order mark): reading never
// crashes, its texts are UTF-8 unless the file names a code page it cannot
// convert, what it tells the user shows no raw bytes, and what reads writes
// back into a song file that reads again with as many records.
#include "require.h"
#include "song/reading_report.h"
#include "song/song_file_kind.h"
#include "song/song_model.h"
#include "song/song_reader.h"
#include "song/song_writer.h"
#include "song/text_encoding.h"

#include <algorithm>
#include <cstdint>

using namespace songData;

namespace {

// UTF-8 without control characters: what a message may show.
bool Printable(std::string_view text) {
  return IsValidUtf8(text) && std::none_of(text.begin(), text.end(), [](char c) {
           return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
         });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LooksLikeText(bytes);
  TSongFileContent content;
  try {
    content = ParseSongText(bytes);
  } catch (const ESongReadError& e) {
    Require(e.Line > 0);
    Require(Printable(e.what()));
    return 0;
  }
  Require(content.Notes.size() <= MaxFileRecords);
  const bool utf8 = content.Report.UnsupportedEncoding.empty();
  for (const TNote& note : content.Notes) {
    Require(note.Voice == FirstVoice || note.Voice == SecondVoice);
    Require(note.Text.Length <= TNoteText::Capacity);
    Require(!utf8 || IsValidUtf8(note.Text.View()));
  }
  for (const std::string& tag : content.Tags)
    Require(!utf8 || IsValidUtf8(tag));
  for (const std::string& notice : ReadingNotices(content.Report))
    Require(Printable(notice));

  TSong song;
  song.Tags = content.Tags;
  song.Notes = content.Notes;
  song.UseBOM = content.UseBOM;
  THeaderNumbers numbers = ReadHeaderNumbers(song.Tags);
  song.BPM = numbers.BPM;
  song.MusicOffset = numbers.MusicOffset;
  song.VideoGap = numbers.VideoGap;
  song.Transpose = GuessTranspose(song.Notes);
  const std::string text = SongFileText(song);
  Require(LooksLikeText(text) && HasSongTag(song.Tags));
  Require(ParseSongText(text).Notes.size() == content.Notes.size());
  return 0;
}
