#include "ffmpeg_fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace audiotest {

void EncodeWithFfmpeg(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
                      int channels, const std::string& options) {
  std::string raw = path + ".raw";
  {
    std::ofstream out(raw, std::ios::binary);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
  }
  std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y -f s16le -ar " +
                        std::to_string(rate) + " -ac " + std::to_string(channels) + " -i '" + raw +
                        "' " + options + " '" + path + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::filesystem::remove(raw);
}

} // namespace audiotest
