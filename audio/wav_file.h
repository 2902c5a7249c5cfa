#pragma once
// 16-bit PCM WAV files of interleaved samples.
#include <cstdint>
#include <string>
#include <vector>

namespace player {

std::string WavBytes(const std::vector<std::int16_t>& samples, int sampleRate, int channels);

} // namespace player
