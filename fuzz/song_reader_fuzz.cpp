// Any bytes as a song file, in every form other tools write (duets, relative
// beats, code pages, UTF-16, byte order marks): reading never crashes, its
// texts are UTF-8 unless the file names a code page it cannot convert, and
// what reads writes back into a file that reads again with as many records.
#include "require.h"
#include "song/reading_report.h"
#include "song/song_model.h"
#include "song/song_reader.h"
#include "song/song_writer.h"
#include "song/text_encoding.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace songData;
  TSongFileContent content;
  try {
    content = ParseSongText(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const ESongReadError& e) {
    Require(e.Line > 0);
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
  ReadingNotices(content.Report);

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
  Require(ParseSongText(text).Notes.size() == content.Notes.size());
  return 0;
}
