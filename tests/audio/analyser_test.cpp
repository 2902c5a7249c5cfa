#include "audio/analyser.h"
#include "audio_fixtures.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace analyser;
using songData::TPcmMusic;

using audiotest::MakeMusic;

std::uint32_t Red(std::uint32_t pixel) {
  return (pixel >> 16) & 0xFF;
}

// The "MAIN\Analyser" values delivered to this thread.
std::vector<std::int32_t> Progress;
void RecordProgress(std::string_view name, std::int32_t value) {
  if (name == "MAIN\\Analyser") Progress.push_back(value);
}

class AnalyserRun : public ::testing::Test {
protected:
  void SetUp() override {
    Progress.clear();
    EventMan::RegisterHandler(events, "MAIN", RecordProgress, EventMan::hmQueued);
  }
  void Run(const TPcmMusic& music) {
    CreateSpectrumStrips(analyser, music);
    StartAnalysers(analyser, audiotest::Shared(music), events);
    WaitForAnalysers(analyser);
    for (int i = 0; i < 10; ++i)
      EventMan::ProcessThreadEvents(events);
  }
  EventMan::TEventManager events;
  TAnalyser analyser;
};

TEST_F(AnalyserRun, PureToneLightsItsOwnBin) {
  // 261.63 Hz is tone 0, bin 6, row 29.
  TPcmMusic music = MakeMusic(44100, false, audiotest::SineSamples(44100, 1, 44100, 261.63, 8000));
  Run(music);
  ASSERT_EQ(analyser.SpectrumStrips.size(), 1u);
  const TSpectrumStrip& strip = analyser.SpectrumStrips[0];
  const int blocks = BlockCount(music);
  ASSERT_EQ(blocks, 30);
  for (int column = 2; column < blocks; ++column) {
    for (int row = 0; row < StripHeight; ++row)
      if (row != 29) {
        EXPECT_LT(Red(strip.Pixel(column, row)), Red(strip.Pixel(column, 29)));
      }
  }
  EXPECT_GT(Red(strip.Pixel(10, 29)), 32u);
  EXPECT_LT(Red(strip.Pixel(10, 29)), 252u);
  EXPECT_EQ(strip.Pixel(blocks, 29), StripBackground); // never analysed
  EXPECT_EQ(analyser.AnalysedBlocks, blocks);
  EXPECT_EQ(std::count(Progress.begin(), Progress.end(), 100), 3);
}

TEST_F(AnalyserRun, SilenceLeavesTheBackground) {
  Run(MakeMusic(48000, true, std::vector<std::int16_t>(48000 * 2 * 3)));
  for (const TSpectrumStrip& strip : analyser.SpectrumStrips)
    for (std::uint32_t pixel : strip.Pixels)
      ASSERT_EQ(pixel, StripBackground);
}

TEST_F(AnalyserRun, TwentySecondsMakeThreeStripsOnePerThread) {
  TPcmMusic music =
      MakeMusic(22050, false, audiotest::SineSamples(22050, 1, 22050 * 20, 440.0, 3000));
  Run(music);
  ASSERT_EQ(analyser.SpectrumStrips.size(), 3u); // 2.5 rounds to even
  const int blocks = BlockCount(music);
  for (int b = 0; b < blocks; ++b)
    ASSERT_NE(analyser.SpectrumStrips[b / 256].Pixel(b % 256, 0), 0u);
  // Every block is coloured, and the pixels are the one-bin loop's.
  std::vector<TSpectrumStrip> reference(3);
  for (TSpectrumStrip& strip : reference)
    strip.Pixels.fill(StripBackground);
  AnalyseOneBinAtATime(music, reference);
  for (int s = 0; s < 3; ++s)
    EXPECT_EQ(analyser.SpectrumStrips[s].Pixels, reference[s].Pixels) << s;
  EXPECT_EQ(analyser.AnalysedBlocks, blocks);
  EXPECT_EQ(std::count(Progress.begin(), Progress.end(), 100), 3);
}

TEST_F(AnalyserRun, VeryShortMusicOnlyReportsDone) {
  Run(MakeMusic(44100, true, std::vector<std::int16_t>(2 * 2000, 1000)));
  EXPECT_EQ(analyser.AnalysedBlocks, 0);
  EXPECT_EQ(Progress, (std::vector<std::int32_t>{100, 100, 100}));
}

TEST_F(AnalyserRun, StopReturnsOnlyWhenEveryThreadHasLeft) {
  TPcmMusic music = MakeMusic(44100, false, std::vector<std::int16_t>(44100 * 120, 7));
  CreateSpectrumStrips(analyser, music);
  StartAnalysers(analyser, audiotest::Shared(music), events);
  StopAnalysers(analyser);
  EXPECT_EQ(analyser.AnalyserRunning, 0);
  EXPECT_TRUE(analyser.Threads.empty());
  EXPECT_LT(analyser.AnalysedBlocks, BlockCount(music));
}

TEST(MonoBlock, SumsTheChannelsWithoutWrapping) {
  struct TCase {
    std::int16_t Left, Right;
    float Sum;
  };
  const TCase cases[] = {
      {30000, 30000, 60000.0f}, {-32768, -32768, -65536.0f}, {32767, -1, 32766.0f}, {5, 7, 12.0f}};
  for (const TCase& c : cases) {
    TPcmMusic music = MakeMusic(3200, true, {});
    for (int i = 0; i < 300; ++i) {
      music.Samples.push_back(c.Left);
      music.Samples.push_back(c.Right);
    }
    std::vector<float> x;
    MonoBlock(music, 1, x);
    ASSERT_EQ(x.size(), 100u);
    EXPECT_EQ(x[0], c.Sum) << c.Left << " + " << c.Right;
  }
}

TEST(DrawColumn, ColoursByWeightedLevel) {
  TSpectrumStrip strip;
  strip.Pixels.fill(0);
  std::array<float, BinCount> energy{};
  energy[10] = 1000.0f; // weight 1: red 30, green 10, blue 4
  energy[35] = 1e9f;    // every channel at its limit
  DrawColumn(strip, 7, energy, 1);
  EXPECT_EQ(strip.Pixel(7, 25), 0x3E2A24u);
  EXPECT_EQ(strip.Pixel(7, 0), 0xFCFCC0u);
  EXPECT_EQ(strip.Pixel(7, 35), StripBackground);
  EXPECT_EQ(strip.Pixel(6, 25), 0u);
}

TEST(Resonate, EveryWidthGivesTheOneBinLoopsEnergiesBitForBit) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-65536, 65534);
  for (int rate : {22050, 44100, 48000}) {
    const TResonatorBank bank = MakeResonatorBank(rate);
    std::vector<float> x0(rate / 32), x1(rate / 32);
    for (float& value : x0)
      value = static_cast<float>(sample(random));
    for (float& value : x1)
      value = static_cast<float>(sample(random));
    std::array<float, BinCount> expected0{}, expected1{};
    ResonateOneBinAtATime(bank, x0.data(), x0.size(), expected0);
    ResonateOneBinAtATime(bank, x1.data(), x1.size(), expected1);
    for (TKernelWidth width :
         {TKernelWidth::kwBase, TKernelWidth::kwAvx2, TKernelWidth::kwAvx512}) {
      if (!KernelSupported(width)) continue;
      std::array<float, BinCount> energy0{}, energy1{};
      ResonatePairWith(width, bank, x0.data(), x1.data(), x0.size(), energy0, energy1);
      EXPECT_EQ(std::memcmp(energy0.data(), expected0.data(), sizeof energy0), 0)
          << rate << " width " << int(width);
      EXPECT_EQ(std::memcmp(energy1.data(), expected1.data(), sizeof energy1), 0)
          << rate << " width " << int(width);
    }
  }
}

} // namespace
