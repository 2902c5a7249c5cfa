#include "song/song_file_kind.h"

#include "song/song_tags.h"
#include "song/text_encoding.h"

#include <algorithm>

namespace songData {
namespace {

constexpr std::string_view SongTags[] = {"#TITLE",
                                         "#ARTIST",
                                         "#MP3",
                                         "#AUDIO",
                                         "#BPM",
                                         "#GAP",
                                         "#VIDEOGAP",
                                         "#VIDEO",
                                         "#COVER",
                                         "#BACKGROUND",
                                         "#LANGUAGE",
                                         "#GENRE",
                                         "#YEAR",
                                         "#EDITION",
                                         "#CREATOR",
                                         "#AUTHOR",
                                         "#ALBUM",
                                         "#ENCODING",
                                         "#RELATIVE",
                                         "#START",
                                         "#END",
                                         "#PREVIEWSTART",
                                         "#VOCALS",
                                         "#INSTRUMENTAL",
                                         "#MEDLEYSTARTBEAT",
                                         "#MEDLEYENDBEAT",
                                         "#CALCMEDLEY",
                                         "#DUETSINGERP1",
                                         "#DUETSINGERP2",
                                         "#P1",
                                         "#P2",
                                         "#RESOLUTION",
                                         "#NOTESGAP",
                                         "#TAGS",
                                         "#COMMENT",
                                         "#VERSION"};

bool IsControlByte(unsigned char byte) {
  switch (byte) {
  case '\t':
  case '\n':
  case '\v':
  case '\f':
  case '\r':
  case 0x1A: // the end-of-file mark of old editors
    return false;
  default:
    return byte < 0x20 || byte == 0x7F;
  }
}

} // namespace

bool LooksLikeText(std::string_view bytes) {
  std::string converted;
  std::string_view head = bytes.substr(0, SniffedBytes);
  if (std::optional<TUtf16Form> form = Utf16FormOf(bytes)) {
    // An even count of bytes, so that no code unit is cut.
    converted =
        Utf16ToUtf8(bytes.substr(form->MarkSize, SniffedBytes & ~std::size_t(1)), form->BigEndian);
    head = converted;
  }
  std::size_t controls = 0;
  for (char c : head) {
    if (c == '\0') return false;
    controls += IsControlByte(static_cast<unsigned char>(c)) ? 1 : 0;
  }
  // A stray one or two in lyrics do not make a song binary, also in a short file.
  return controls * 32 <= head.size() + 64;
}

bool HasSongTag(const std::vector<std::string>& tags) {
  return std::any_of(tags.begin(), tags.end(), [](const std::string& tag) {
    return std::any_of(std::begin(SongTags), std::end(SongTags),
                       [&](std::string_view name) { return IsTagNamed(tag, name); });
  });
}

} // namespace songData
