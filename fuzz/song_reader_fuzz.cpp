// Any bytes as a song file: reading never crashes, and what reads writes back
// into a file that reads again with as many records.
#include "song/song_model.h"
#include "song/song_reader.h"
#include "song/song_writer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace songData;
  TSongFileContent content;
  try {
    content = ParseSongText(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const ESongReadError&) {
    return 0;
  }
  TSong song;
  song.Tags = content.Tags;
  song.Notes = content.Notes;
  THeaderNumbers numbers = ReadHeaderNumbers(song.Tags);
  song.BPM = numbers.BPM;
  song.MusicOffset = numbers.MusicOffset;
  song.VideoGap = numbers.VideoGap;
  std::string text = SongFileText(song);
  if (ParseSongText(text).Notes.size() != content.Notes.size()) std::abort();
  return 0;
}
