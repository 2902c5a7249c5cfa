#include "audio/tempo_detector.h"
#include "support/exceptions.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

enum class TSound { Clicks, Drums };

struct TBeatMusic {
  double Bpm;
  double FirstBeat; // seconds of silence before the first beat
  TSound Sound;
  int Rate;
  bool Stereo;
  double Seconds;
};

void PrintTo(const TBeatMusic& m, std::ostream* out) {
  *out << (m.Sound == TSound::Clicks ? "clicks " : "drums ") << m.Bpm << " BPM from " << m.FirstBeat
       << " s, " << m.Rate << " Hz" << (m.Stereo ? " stereo" : "");
}

// A decaying sound added at the given time.
template <typename TWave>
void AddHit(std::vector<float>& out, int rate, double at, double length, TWave wave) {
  const auto start = static_cast<std::size_t>(std::ceil(at * rate));
  for (std::size_t i = start; i < out.size() && i < start + length * rate; ++i)
    out[i] += wave((static_cast<double>(i) - at * rate) / rate);
}

// Clicks on every beat, or a drum kit: kick on every beat, snare on 2 and 4,
// hi-hat on the eighths, and a little noise all along.
songData::TPcmMusic MakeBeatMusic(const TBeatMusic& m) {
  std::vector<float> mono(static_cast<std::size_t>(m.Seconds * m.Rate), 0.0f);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  const double period = 60.0 / m.Bpm;
  for (int beat = 0; m.FirstBeat + beat * period < m.Seconds; ++beat) {
    const double at = m.FirstBeat + beat * period;
    if (m.Sound == TSound::Clicks) {
      AddHit(mono, m.Rate, at, 0.02,
             [](double t) { return 0.6 * std::exp(-t / 0.004) * std::sin(2 * M_PI * 1500 * t); });
      continue;
    }
    AddHit(mono, m.Rate, at, 0.3, [](double t) {
      const double phase = 2 * M_PI * (50 * t + 100 * 0.03 * (1 - std::exp(-t / 0.03)));
      return 0.6 * std::exp(-t / 0.08) * std::sin(phase);
    });
    if (beat % 2 == 1)
      AddHit(mono, m.Rate, at, 0.2, [&](double t) {
        return std::exp(-t / 0.05) * (0.25 * noise(random) + 0.15 * std::sin(2 * M_PI * 190 * t));
      });
    for (double eighth : {at, at + period / 2})
      AddHit(mono, m.Rate, eighth, 0.06,
             [&](double t) { return 0.08 * std::exp(-t / 0.015) * noise(random); });
  }
  if (m.Sound == TSound::Drums)
    for (float& v : mono)
      v += static_cast<float>(0.003 * noise(random));

  songData::TPcmMusic music;
  music.SampleRate = m.Rate;
  music.Stereo = m.Stereo;
  for (float v : mono) {
    const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32000));
    music.Samples.insert(music.Samples.end(), m.Stereo ? 2 : 1, sample);
  }
  return music;
}

bool Near(double value, double wanted) {
  return std::abs(value - wanted) <= 0.005 * wanted;
}

class TempoOfBeatMusic : public ::testing::TestWithParam<TBeatMusic> {};

TEST_P(TempoOfBeatMusic, FindsTheTempoAndTheFirstBeat) {
  const TBeatMusic& m = GetParam();
  const std::optional<tempo::TTempoEstimate> found = tempo::DetectTempo(MakeBeatMusic(m));
  ASSERT_TRUE(found.has_value());
  const bool named = std::any_of(found->Alternatives.begin(), found->Alternatives.end(),
                                 [&](double bpm) { return Near(bpm, m.Bpm); });
  if (!Near(found->Bpm, m.Bpm)) {
    // Counted in half or double time, the true tempo must be offered.
    EXPECT_TRUE(Near(found->Bpm, m.Bpm / 2) || Near(found->Bpm, m.Bpm * 2)) << found->Bpm;
    EXPECT_TRUE(named) << found->Bpm;
  }
  for (double other : found->Alternatives)
    EXPECT_TRUE(other == found->Bpm / 2 || other == found->Bpm * 2) << other;
  EXPECT_NEAR(found->GapMs, m.FirstBeat * 1000, 15) << found->Bpm;
  EXPECT_GT(found->Confidence, 0.8);
  EXPECT_LE(found->Confidence, 1.0);
}

INSTANTIATE_TEST_SUITE_P(ClicksAndDrums, TempoOfBeatMusic,
                         ::testing::Values(TBeatMusic{60, 0.0, TSound::Clicks, 22050, false, 30},
                                           TBeatMusic{75, 3.217, TSound::Drums, 22050, false, 30},
                                           TBeatMusic{92, 0.4137, TSound::Drums, 44100, true, 25},
                                           TBeatMusic{120, 2.5, TSound::Clicks, 44100, false, 20},
                                           TBeatMusic{128, 0.0731, TSound::Drums, 22050, false, 25},
                                           TBeatMusic{145, 4.0, TSound::Drums, 22050, false, 25},
                                           TBeatMusic{174, 1.333, TSound::Drums, 22050, false, 25},
                                           TBeatMusic{180, 0.0, TSound::Clicks, 22050, false, 20}));

TEST(TempoDetector, AnUnsteadyBeatLowersTheConfidence) {
  const int rate = 22050;
  songData::TPcmMusic music{std::vector<std::int16_t>(30 * rate, 0), rate, false};
  std::mt19937 random(3);
  std::uniform_real_distribution<double> jitter(-0.06, 0.06);
  for (double beat = 1.0; beat < 29.9; beat += 0.5) {
    const auto at = static_cast<std::size_t>((beat + jitter(random)) * rate);
    for (std::size_t i = 0; i < 0.02 * rate; ++i) {
      const double t = static_cast<double>(i) / rate;
      music.Samples[at + i] = static_cast<std::int16_t>(
          std::lround(19000 * std::exp(-t / 0.004) * std::sin(2 * M_PI * 1500 * t)));
    }
  }
  const std::optional<tempo::TTempoEstimate> found = tempo::DetectTempo(music);
  ASSERT_TRUE(found.has_value());
  EXPECT_NEAR(found->Bpm, 120, 1.2);
  EXPECT_LT(found->Confidence, 0.6);
  EXPECT_GT(found->Confidence, 0.0);
}

TEST(TempoDetector, MusicWithoutABeatFailsClearly) {
  const int rate = 22050;
  songData::TPcmMusic silence{std::vector<std::int16_t>(20 * rate, 0), rate, false};
  songData::TPcmMusic tone{{}, rate, false};
  for (int i = 0; i < 20 * rate; ++i)
    tone.Samples.push_back(static_cast<std::int16_t>(std::lround(
        8000 * (std::sin(2 * M_PI * 440 * i / rate) + std::sin(2 * M_PI * 110 * i / rate)))));
  songData::TPcmMusic shortDrums = MakeBeatMusic({120, 0.0, TSound::Drums, rate, false, 2.0});
  songData::TPcmMusic empty;
  for (const songData::TPcmMusic* music : {&silence, &tone, &shortDrums, &empty}) {
    try {
      tempo::DetectTempo(*music);
      ADD_FAILURE() << "no failure for music " << music - &silence;
    } catch (const MyServis::EError& e) {
      EXPECT_NE(std::string(e.what()).find("No steady beat found in the music"), std::string::npos)
          << e.what();
    }
  }
}

TEST(TempoDetector, ProgressRisesToTheEndAndCancels) {
  const songData::TPcmMusic music = MakeBeatMusic({120, 0.0, TSound::Clicks, 22050, false, 20});
  std::vector<float> seen;
  ASSERT_TRUE(tempo::DetectTempo(music, [&](float fraction) {
                seen.push_back(fraction);
                return true;
              }).has_value());
  ASSERT_GT(seen.size(), 2u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.front(), 0.0f);
  EXPECT_EQ(seen.back(), 1.0f);

  int calls = 0;
  EXPECT_FALSE(tempo::DetectTempo(music, [&](float) { return ++calls < 2; }).has_value());
  EXPECT_EQ(calls, 2);
}

} // namespace
