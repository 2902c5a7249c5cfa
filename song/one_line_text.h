#pragma once
// Texts and header values stay on their line of the song file: a CR or LF in
// one would start a new line there, which may read as "E" and end the song.
#include <string>
#include <string_view>

namespace songData {

// Appends the text with every CR and LF turned into a space.
void AppendOneLine(std::string& out, std::string_view text);

} // namespace songData
