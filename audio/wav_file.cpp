#include "audio/wav_file.h"

#include <charconv>

namespace player {
namespace {

void Put32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
void Put16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

} // namespace

std::string WavBytes(const std::vector<std::int16_t>& samples, int sampleRate, int channels) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  Put32(out, 36 + dataBytes);
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1); // PCM
  Put16(out, static_cast<std::uint16_t>(channels));
  Put32(out, static_cast<std::uint32_t>(sampleRate));
  Put32(out, static_cast<std::uint32_t>(sampleRate * channels * 2));
  Put16(out, static_cast<std::uint16_t>(channels * 2));
  Put16(out, 16);
  out += "data";
  Put32(out, dataBytes);
  for (std::int16_t s : samples)
    Put16(out, static_cast<std::uint16_t>(s));
  return out;
}

std::string SecondsText(double seconds) {
  char text[64];
  std::to_chars_result end =
      std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 3);
  return std::string(text, end.ptr);
}

} // namespace player
