#pragma once
// Music decoded for a command; what the user should know of it goes to standard error.
#include "audio/pcm_music.h"

#include <string>

namespace cli {

// Decodes the whole music (cut at its most length, with a warning naming the
// file) or throws what the decoder throws.
void DecodeMusicFile(const std::string& path, songData::TPcmMusic& music);

} // namespace cli
