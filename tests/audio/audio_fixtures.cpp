#include "audio_fixtures.h"

#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

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

std::string MonoWavHeader(std::uint32_t rate, std::uint32_t dataBytes) {
  auto le = [](std::uint32_t value, int bytes) {
    std::string out;
    for (int k = 0; k < bytes; ++k)
      out += static_cast<char>(value >> (8 * k));
    return out;
  };
  return "RIFF" + le(dataBytes == 0xFFFFFFFF ? dataBytes : 36 + dataBytes, 4) + "WAVEfmt " +
         le(16, 4) + le(1, 2) + le(1, 2) + le(rate, 4) + le(2 * rate, 4) + le(2, 2) + le(16, 2) +
         "data" + le(dataBytes, 4);
}

bool WriteSparseFile(const std::string& path, const std::string& head, std::uint64_t bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                       ::ftruncate(fd, static_cast<off_t>(bytes)) == 0;
  ::close(fd);
  return written;
}

bool WriteThreeHoursAndASecond(const std::string& folder) {
  constexpr std::uint32_t Rate = 1000, DataBytes = 2 * Rate * (3 * 3600 + 1);
  return WriteSparseFile(folder + "/told.wav", MonoWavHeader(Rate, DataBytes), 44 + DataBytes) &&
         WriteSparseFile(folder + "/stream.wav", MonoWavHeader(Rate, 0xFFFFFFFF), 44 + DataBytes);
}

songData::TPcmMusic MakeMusic(int rate, bool stereo, std::vector<std::int16_t> samples) {
  songData::TPcmMusic music;
  music.SampleRate = rate;
  music.Stereo = stereo;
  music.Samples = std::move(samples);
  return music;
}

std::shared_ptr<const songData::TPcmMusic> Shared(songData::TPcmMusic music) {
  return std::make_shared<const songData::TPcmMusic>(std::move(music));
}

} // namespace audiotest
