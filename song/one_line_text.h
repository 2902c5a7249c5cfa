#pragma once
// Texts and header values stay on their line of the song file, and the file
// stays text: a CR or LF would start a new line there, which may read as "E"
// and end the song, and other control bytes make a file that opens as no song.
#include <string>
#include <string_view>

namespace songData {

// Appends the text with every control byte but tab (CR and LF among them)
// turned into a space.
void AppendOneLine(std::string& out, std::string_view text);

} // namespace songData
