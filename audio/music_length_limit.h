#pragma once
// The most music a decode keeps, shared by the decoders: a file that tells a
// longer length is refused before decoding, any other is cut at the limit.
#include <cstdint>
#include <string>

namespace MusicLoader {

// Frames of music at this rate that make mostSeconds, at least one.
std::int64_t MostFrames(double mostSeconds, int rate);

// Throws EError "The music is longer than 3 hours, the most that can be loaded."
[[noreturn]] void RefuseLongMusic(double mostSeconds);

// "The music is longer than 3 hours and was cut at that length."
std::string CutMusicNotice(double mostSeconds);

} // namespace MusicLoader
