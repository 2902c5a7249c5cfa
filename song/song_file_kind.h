#pragma once
// Whether a file is a song file at all, so that a sound file or a build script
// opened by mistake is refused instead of read as a song that holds nothing.
#include <string>
#include <string_view>
#include <vector>

namespace songData {

// Text, judged by its first bytes (UTF-16 converted first): no NUL byte, and
// hardly any control byte other than tab, line and page ends and the old
// end-of-file mark.
bool LooksLikeText(std::string_view bytes);

// Whether one of the header lines is a tag that song files use, such as
// "#TITLE", "#ARTIST", "#MP3", "#AUDIO", "#BPM" or "#GAP".
bool HasSongTag(const std::vector<std::string>& tags);

} // namespace songData
