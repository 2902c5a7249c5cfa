#pragma once
// Music decoded for a command; what the user should know of it goes to standard error.
#include "audio/pcm_music.h"

#include <memory>
#include <string>

namespace cli {

// Decodes the whole music (cut at its most length, with a warning naming the
// file) or throws what the decoder throws.
std::shared_ptr<const songData::TPcmMusic> DecodeMusicFile(const std::string& path);

} // namespace cli
