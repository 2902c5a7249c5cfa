#include "audio/audio_fixtures.h"
#include "cli/cli_runner.h"

#include <cmath>
#include <gtest/gtest.h>
#include <regex>

namespace {

// 20 s of clicks at 100 BPM, the first after 1.5 s of silence, as a 22.05 kHz mono MP3.
std::string WriteClickMp3(const TTempFolder& folder) {
  const int rate = 22050;
  std::vector<std::int16_t> samples(20 * rate, 0);
  for (double beat = 1.5; beat < 19.9; beat += 0.6) {
    const auto at = static_cast<std::size_t>(std::lround(beat * rate));
    for (std::size_t i = 0; i < 0.02 * rate; ++i) {
      const double t = static_cast<double>(i) / rate;
      samples[at + i] = static_cast<std::int16_t>(
          std::lround(19000 * std::exp(-t / 0.004) * std::sin(2 * M_PI * 1500 * t)));
    }
  }
  const std::string path = folder.File("clicks.mp3");
  audiotest::EncodeMp3(path, samples, rate, 1);
  return path;
}

TEST(TempoCommand, PrintsTheTempoAndTheFirstBeatAsJson) {
  TTempFolder folder;
  const std::string music = WriteClickMp3(folder);
  TCliResult run = RunCli({"tempo", music});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string number = R"((-?[0-9]+(?:\.[0-9]+)?))";
  const std::regex shape(R"(\{"bpm": )" + number + R"(, "gap_ms": )" + number +
                         R"(, "confidence": )" + number + R"(, "alternatives": \[((?:)" + number +
                         R"((?:, )" + number + R"()*)?)\]\}\n)");
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(run.Out, parts, shape)) << run.Out;
  EXPECT_NEAR(std::stod(parts[1]), 100.0, 0.5);
  EXPECT_NEAR(std::stod(parts[2]), 1500.0, 15.0);
  EXPECT_GT(std::stod(parts[3]), 0.8);
  EXPECT_LE(std::stod(parts[3]), 1.0);
}

TEST(TempoCommand, BadMusicAndArgumentsFail) {
  TTempFolder folder;
  folder.Write("bad.ogg", std::string(3000, 'x'));
  TCliResult bad = RunCli({"tempo", folder.File("bad.ogg")});
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_TRUE(bad.Out.empty()) << bad.Out;
  EXPECT_NE(bad.Err.find("Can't decode music: "), std::string::npos) << bad.Err;

  audiotest::EncodeMp3(folder.File("silence.mp3"), std::vector<std::int16_t>(22050 * 5, 0), 22050,
                       1);
  TCliResult silent = RunCli({"tempo", folder.File("silence.mp3")});
  EXPECT_EQ(silent.ExitCode, 1);
  EXPECT_NE(silent.Err.find("No steady beat found in the music"), std::string::npos) << silent.Err;

  EXPECT_EQ(RunCli({"tempo"}).ExitCode, 2);
  EXPECT_EQ(RunCli({"tempo", folder.File("bad.ogg"), "extra"}).ExitCode, 2);
}

} // namespace
