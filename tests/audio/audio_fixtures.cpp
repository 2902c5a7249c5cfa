#include "audio_fixtures.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace audiotest {

std::vector<std::int16_t> SineSamples(int rate, int channels, int frames, double frequency,
                                      double amplitude) {
  std::vector<std::int16_t> samples;
  samples.reserve(static_cast<std::size_t>(frames) * channels);
  for (int i = 0; i < frames; ++i) {
    auto value = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2.0 * M_PI * frequency * i / rate)));
    for (int c = 0; c < channels; ++c)
      samples.push_back(value);
  }
  return samples;
}

void EncodeMp3(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
               int channels, const std::string& extra) {
  std::string raw = path + ".raw";
  {
    std::ofstream out(raw, std::ios::binary);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
  }
  char rateText[32];
  std::snprintf(rateText, sizeof rateText, "%g", rate / 1000.0);
  std::string command = "lame --quiet -r --bitwidth 16 --signed --little-endian -s " +
                        std::string(rateText) + (channels == 1 ? " -m m -b 64" : " -m j -b 128") +
                        " --resample " + rateText + " " + extra + " '" + raw + "' '" + path +
                        "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::filesystem::remove(raw);
}

songData::TPcmMusic MakeMusic(int rate, bool stereo, std::vector<std::int16_t> samples) {
  songData::TPcmMusic music;
  music.SampleRate = rate;
  music.Stereo = stereo;
  music.Samples = std::move(samples);
  return music;
}

} // namespace audiotest
