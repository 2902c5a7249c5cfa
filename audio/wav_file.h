#pragma once
// 16-bit PCM WAV files of interleaved samples.
#include <cstdint>
#include <string>
#include <vector>

namespace player {

std::string WavBytes(const std::vector<std::int16_t>& samples, int sampleRate, int channels);
// A duration as "1.500", with a point whatever the process locale.
std::string SecondsText(double seconds);

} // namespace player
