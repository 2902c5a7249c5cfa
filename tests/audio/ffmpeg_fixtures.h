#pragma once
// Music files in the formats FFmpeg reads, made with its command-line tool.
#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

// Encodes interleaved samples at the rate and channel count given into path;
// options choose the codec, such as "-c:a libvorbis". Fails the test if ffmpeg fails.
void EncodeWithFfmpeg(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
                      int channels, const std::string& options);

} // namespace audiotest
