#include "audio/player.h"
#include "audio/tone_table.h"
#include "audio_fixtures.h"
#include "support/exceptions.h"
#include "support/file_io.h"
#include "support/runtime_errors.h"

#include <cmath>
#include <complex>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace player;

TEST(ToneFrequencies, FollowTheSemitoneFormula) {
  EXPECT_NEAR(ToneFrequencies[36], 523.25f, 0.005f);
  EXPECT_NEAR(ToneFrequencies[24], 261.63f, 0.006f);
  EXPECT_NEAR(ToneFrequencies[0], 65.41f, 0.005f);
  EXPECT_NEAR(ToneFrequencies[72], 4186.0f, 0.05f);
  // Beyond the table the same formula goes on.
  EXPECT_NEAR(ToneFrequencyOf(-1), ToneFrequencies[0] / std::pow(2.0f, 1.0f / 12), 0.001f);
  EXPECT_EQ(ToneFrequencyOf(5), ToneFrequencies[5]);
}

TEST(StartTone, SetsTheStepAndTargetOrStops) {
  TPlayer p;
  p.ToneMix = 4096;
  StartTone(p, 0, false);
  EXPECT_EQ(p.CurrentTone, 0);
  EXPECT_EQ(p.ToneVolumeTarget, 4096u);
  EXPECT_EQ(p.ToneStep,
            std::uint32_t(std::nearbyint(double(ToneFrequencies[12]) * 65536 / 220.13)));
  StartTone(p, -15, true);
  EXPECT_EQ(p.CurrentTone, -15);
  EXPECT_EQ(p.ToneVolumeTarget, 2048u);
  EXPECT_EQ(p.ToneStep,
            std::uint32_t(std::nearbyint(double(ToneFrequencyOf(-3)) * 65536 / 220.13)));
  const std::uint32_t step = p.ToneStep;
  for (int outside : {-16, 41}) {
    StartTone(p, 5, true);
    StartTone(p, outside, true);
    EXPECT_EQ(p.CurrentTone, NoTone) << outside;
    EXPECT_EQ(p.ToneVolumeTarget, 0u) << outside;
  }
  EXPECT_NE(p.ToneStep, step);
}

TEST(MixerSettings, RoundAsTheBarNeeds) {
  TPlayer p;
  SetToneMix(p, 40);
  EXPECT_EQ(p.ToneMix, 1638);
  EXPECT_EQ(SetMusicVolume(p, 60), 2458);
  EXPECT_EQ(p.MusicVolumeTarget, 2458u);
  SetToneMix(p, 100);
  EXPECT_EQ(p.ToneMix, 4096);
}

TEST(ToneSample, BuiltBesideTheProgramLoopsAt440Hz) {
  TPlayer p;
  LoadToneSample(p, MyServis::ProgramFolder() + "/sample.pcm");
  const std::vector<std::int16_t>& s = p.ToneSample;
  const int n = static_cast<int>(s.size());
  ASSERT_GT(n, 1000);
  ASSERT_LE(n, 65535);
  int peak = 0;
  for (std::int16_t x : s)
    peak = std::max(peak, std::abs(int(x)));
  EXPECT_NEAR(peak, 32767 / 3, 2);
  // The strongest whole-period bin gives the fundamental; its neighbours are
  // silent when the sample holds a whole number of periods.
  auto bin = [&](int k) {
    std::complex<double> sum;
    for (int i = 0; i < n; ++i)
      sum += double(s[i]) * std::polar(1.0, -2 * M_PI * k * i / n);
    return std::abs(sum);
  };
  const int periods = static_cast<int>(std::lround(n * 440.26 / 44100));
  EXPECT_NEAR(periods * 44100.0 / n, 440.26, 0.01);
  EXPECT_GT(bin(periods), 100 * bin(periods - 1));
  EXPECT_GT(bin(periods), 100 * bin(periods + 1));
  EXPECT_LT(std::abs(s[n - 1] - s[0]), peak / 4); // no step at the loop point
}

TEST(ToneSample, TheCurrentFolderComesFirst) {
  TTempFolder folder;
  folder.Write("sample.pcm", std::string("\x01\x02\x03\x04\x05", 5));
  std::string previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.File(""));
  std::string path = ToneSamplePath();
  std::filesystem::current_path(previous);
  EXPECT_EQ(path, "sample.pcm");
  TPlayer p;
  LoadToneSample(p, folder.File("sample.pcm"));
  EXPECT_EQ(p.ToneSample, (std::vector<std::int16_t>{0x0201, 0x0403}));
  EXPECT_EQ(p.ToneLength, 2u << 16);
  EXPECT_EQ(ToneSamplePath(), MyServis::ProgramFolder() + "/sample.pcm");
}

TEST(ToneSample, LongSampleIsCutToWhatThePositionCanHold) {
  TTempFolder folder;
  folder.Write("long.pcm", std::string(2 * 70000, '\x01'));
  TPlayer p;
  LoadToneSample(p, folder.File("long.pcm"));
  EXPECT_EQ(p.ToneSample.size(), 65535u);
  EXPECT_EQ(p.ToneLength, 65535u << 16);
}

TEST(ToneSample, EmptyOrMissingFails) {
  TTempFolder folder;
  folder.Write("empty.pcm", "\x01");
  TPlayer p;
  EXPECT_THROW(LoadToneSample(p, folder.File("empty.pcm")), MyServis::EError);
  EXPECT_THROW(LoadToneSample(p, folder.File("missing.pcm")), MyServis::EInOutError);
}

} // namespace
