#pragma once
// The lyrics memo's side of the notes: one line per syllable (a sung, golden,
// freestyle or rap note) of one voice, in the order of Notes. The memo and the
// screen work in UTF-16; the notes keep their own bytes, UTF-8 by convention.
#include "song/song_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace songData {

// The program's own UTF-8 reading: two- and three-byte sequences are taken even
// when a continuation byte is wrong, four-byte ones become surrogate pairs, and
// any other byte shows as U+FFFD.
std::u16string DecodeText(std::string_view bytes);
// Standard UTF-8; a lone surrogate is written as U+FFFD.
std::string EncodeText(std::u16string_view text);

// The memo's lines: each syllable's text of one voice, decoded.
std::vector<std::u16string> LyricsLines(const TSong& song, std::uint8_t voice = FirstVoice);

// Typed lines back into the voice's syllables, by position: the i-th syllable
// takes the i-th line (cut to 47 bytes). A syllable whose line reads as its
// present text keeps its exact bytes. Syllables left over keep their texts;
// lines left over are ignored. Returns whether any text changed.
bool TakeBackLyrics(TSong& song, const std::vector<std::u16string>& lines,
                    std::uint8_t voice = FirstVoice);

// Index in Notes of the voice's syllable on memo line `line` (0 for the
// first), or -1.
int SyllableOfLine(const TSong& song, int line, std::uint8_t voice = FirstVoice);

} // namespace songData
