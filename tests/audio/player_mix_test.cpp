#include "audio/capture_output.h"
#include "audio/player.h"
#include "audio/tone_table.h"
#include "audio_fixtures.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using namespace player;
using songData::TNote;
using songData::TPcmMusic;

// A player mixing on the test's own thread into a capture.
struct TMix {
  explicit TMix(int bufferFrames = 2205, std::vector<std::int16_t> tone = {0}) {
    p.ToneSample = std::move(tone);
    p.ToneLength = static_cast<std::uint32_t>(p.ToneSample.size()) << 16;
    p.ToneMix = 4096;
    p.BufferFrames = bufferFrames;
    capture.Open(bufferFrames);
  }
  void Render(int buffers) { RenderBuffers(p, capture, buffers); }
  void FullMusicGain() { p.MusicVolume = p.MusicVolumeTarget = 4096; }
  TPlayer p;
  TCaptureOutput capture;
};

using audiotest::MakeMusic;

std::vector<std::int16_t> Ramp(int count, int scale = 1) {
  std::vector<std::int16_t> samples(count);
  for (int i = 0; i < count; ++i)
    samples[i] = static_cast<std::int16_t>((i % 30000) * scale);
  return samples;
}

TEST(PlayerMix, WithoutMusicOrToneIsSilence) {
  TMix mix(2205, {1000, -1000, 32767});
  mix.Render(3);
  std::vector<std::int16_t> out = mix.capture.Samples();
  ASSERT_EQ(out.size(), 2u * 3 * 2205);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t s) { return s == 0; }));
  EXPECT_EQ(PlayerState(mix.p), psFinished);
  EXPECT_EQ(PlayPositionSeconds(mix.p), -1.0f);
}

TEST(PlayerMix, MonoMusicFeedsBothChannels) {
  TMix mix;
  mix.FullMusicGain();
  TPcmMusic music = MakeMusic(44100, false, Ramp(10000, -1));
  PlayMusic(mix.p, audiotest::Shared(music), 0.0f);
  mix.Render(1);
  std::vector<std::int16_t> out = mix.capture.Samples();
  for (int n = 0; n < 2205; ++n) {
    ASSERT_EQ(out[2 * n], music.Samples[n]) << n;
    ASSERT_EQ(out[2 * n + 1], music.Samples[n]) << n;
  }
}

TEST(PlayerMix, StereoMusicAtHalfRateRepeatsEachFrame) {
  TMix mix;
  mix.FullMusicGain();
  std::vector<std::int16_t> samples;
  for (int i = 0; i < 4000; ++i) {
    samples.push_back(static_cast<std::int16_t>(i));
    samples.push_back(static_cast<std::int16_t>(-i));
  }
  TPcmMusic music = MakeMusic(22050, true, samples);
  PlayMusic(mix.p, audiotest::Shared(music), 0.0f);
  EXPECT_EQ(mix.p.MusicStep, 32768);
  mix.Render(1);
  std::vector<std::int16_t> out = mix.capture.Samples();
  for (int n = 0; n < 2205; ++n) {
    ASSERT_EQ(out[2 * n], n / 2) << n;
    ASSERT_EQ(out[2 * n + 1], -(n / 2)) << n;
  }
  EXPECT_FLOAT_EQ(PlayPositionSeconds(mix.p), 1102.0f / 22050.0f);
}

TEST(PlayerMix, GainScalesTowardZero) {
  TMix mix;
  mix.p.MusicVolume = mix.p.MusicVolumeTarget = 2458; // mixer bar at 4
  TPcmMusic music = MakeMusic(44100, false, {-32768, -1, 1, 5, 32767, 100, 0, 0, 0});
  PlayMusic(mix.p, audiotest::Shared(music), 0.0f);
  mix.Render(1);
  std::vector<std::int16_t> out = mix.capture.Samples();
  const std::int16_t expected[] = {-19664, 0, 0, 3, 19663, 60, 0};
  for (int n = 0; n < 7; ++n)
    EXPECT_EQ(out[2 * n], expected[n]) << n;
}

TEST(PlayerMix, FullScaleToneAndMusicSaturate) {
  for (std::int16_t level : {std::int16_t(32767), std::int16_t(-32768)}) {
    TMix mix(2205, {level});
    mix.FullMusicGain();
    mix.p.ToneVolume = mix.p.ToneVolumeTarget = 4096;
    mix.p.ToneStep = 65536;
    TPcmMusic music = MakeMusic(44100, true, std::vector<std::int16_t>(20000, level));
    PlayMusic(mix.p, audiotest::Shared(music), 0.0f);
    mix.Render(1);
    std::vector<std::int16_t> out = mix.capture.Samples();
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](std::int16_t s) { return s == level; }))
        << level;
  }
}

TEST(PlayerMix, MusicEndHoldsTheLastValueThenStops) {
  TMix mix;
  mix.FullMusicGain();
  TPcmMusic music = MakeMusic(44100, false, Ramp(1000, 1));
  PlayMusic(mix.p, audiotest::Shared(music), -3.0f); // a negative start is the first frame
  EXPECT_EQ(PlayerState(mix.p), psStarting);
  EXPECT_EQ(mix.p.MusicPos, 0);
  mix.Render(2);
  EXPECT_EQ(mix.p.MusicPos >> 16, 998);
  EXPECT_EQ(PlayerState(mix.p), psFinished);
  std::vector<std::int16_t> out = mix.capture.Samples();
  EXPECT_EQ(out[2 * 997], 997);
  for (int n = 998; n < 2205; ++n)
    ASSERT_EQ(out[2 * n], 997) << n;
  // The next buffer starts from nothing.
  for (int n = 2205; n < 4410; ++n)
    ASSERT_EQ(out[2 * n], 0) << n;
}

TEST(PlayerMix, StateAndPositionFollowTheMusic) {
  TMix mix;
  TPcmMusic music = MakeMusic(22050, false, std::vector<std::int16_t>(22050 * 4));
  PlayMusic(mix.p, audiotest::Shared(music), 1.5f);
  EXPECT_EQ(mix.p.MusicPos, std::int64_t(33075) * 65536);
  EXPECT_EQ(PlayerState(mix.p), psPlaying);
  EXPECT_FLOAT_EQ(PlayPositionSeconds(mix.p), 1.5f);
  // A second PlayMusic while music is set changes nothing.
  PlayMusic(mix.p, audiotest::Shared(music), 0.0f);
  EXPECT_EQ(mix.p.MusicPos, std::int64_t(33075) * 65536);
  StopMusic(mix.p);
  EXPECT_EQ(PlayPositionSeconds(mix.p), -1.0f);
  EXPECT_EQ(PlayerState(mix.p), psFinished);
  EXPECT_EQ(mix.p.MusicPos, std::int64_t(33075) * 65536);
  mix.Render(1);
  EXPECT_EQ(mix.p.MusicPos, std::int64_t(33075) * 65536);
}

TEST(PlayerMix, StartPastTheEndFinishesAtTheEnd) {
  TPcmMusic music = MakeMusic(22050, false, std::vector<std::int16_t>(22050 * 4));
  for (float start : {4.5f, 1e6f, 1e30f, std::numeric_limits<float>::infinity()}) {
    TMix mix;
    PlayMusic(mix.p, audiotest::Shared(music), start);
    EXPECT_EQ(mix.p.MusicPos, std::int64_t(22050 * 4) * 65536) << start;
    EXPECT_EQ(PlayerState(mix.p), psFinished) << start;
  }
  TMix mix;
  PlayMusic(mix.p, audiotest::Shared(music), std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(mix.p.MusicPos, 0);
}

TEST(PlayerMix, ToneGainRampSettlesBelowItsTargetAndFallsToZero) {
  TMix mix(2205, {16384});
  StartTone(mix.p, 12, false);
  mix.Render(8);
  EXPECT_EQ(mix.p.ToneVolume, 4033u);
  std::vector<std::int16_t> out = mix.capture.Samples();
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out.back(), 16384 * 4033 / 4096);
  // The ramp moves every 16 frames: frames 1..16 carry the first step's gain.
  EXPECT_EQ(out[2 * 1], 16384 * 64 / 4096);
  EXPECT_EQ(out[2 * 16], 16384 * 64 / 4096);
  EXPECT_GT(out[2 * 17], out[2 * 16]);
  StopTone(mix.p);
  mix.Render(8);
  EXPECT_EQ(mix.p.ToneVolume, 0u);
  EXPECT_EQ(mix.capture.Samples().back(), 0);
}

TEST(PlayerMix, MusicGainRampSettles) {
  TMix mix;
  EXPECT_EQ(SetMusicVolume(mix.p, 100), 4096);
  mix.Render(20);
  EXPECT_EQ(mix.p.MusicVolume, 4096u - 127u);
  SetMusicVolume(mix.p, 0);
  mix.Render(20);
  EXPECT_EQ(mix.p.MusicVolume, 0u);
}

TEST(PlayerMix, VeryShortToneSampleWrapsSafely) {
  TMix mix(2205, {100, -100});
  mix.p.ToneVolume = mix.p.ToneVolumeTarget = 4096;
  StartTone(mix.p, 40, true); // nearly ten samples per frame over a two-sample loop
  mix.p.ToneVolumeTarget = 4096;
  mix.Render(2);
  EXPECT_LT(mix.p.TonePos, mix.p.ToneLength);
}

// A song without music plays its tones over silence: at full speed exactly as
// over music of zeros, slowed for longer, and until StopMusic or its end.
TEST(PlayerMix, SilencePlaysTheTonesAsMusicOfZerosWould) {
  songData::TSong song;
  song.BPM = 60; // a beat lasts a quarter second
  TNote note;
  note.Start = 1;
  note.Length = 2;
  note.Pitch = 7;
  song.Notes = {note};
  const auto mixed = [&](bool silence, double speed) {
    TMix mix(2205, {1000, -1000, 3000});
    PublishPlayerSong(mix.p, song);
    SetPlaybackSpeed(mix.p, speed);
    if (silence)
      PlaySilence(mix.p, 2.0, 0.0f);
    else
      PlayMusic(mix.p, audiotest::Shared(MakeMusic(44100, false, std::vector<std::int16_t>(88200))),
                0.0f);
    int buffers = 0;
    while (PlayerState(mix.p) != psFinished && buffers < 100) {
      mix.Render(1);
      ++buffers;
    }
    return std::make_pair(buffers, mix.capture.Samples());
  };
  const auto [silentBuffers, silent] = mixed(true, 1.0);
  const auto [musicBuffers, music] = mixed(false, 1.0);
  EXPECT_EQ(silentBuffers, 40);
  EXPECT_EQ(silent, music);
  EXPECT_TRUE(std::any_of(silent.begin(), silent.end(), [](std::int16_t s) { return s != 0; }));
  EXPECT_EQ(mixed(true, 0.5).first, 80);

  TMix mix;
  PlaySilence(mix.p, 2.0, 0.5f);
  EXPECT_FLOAT_EQ(PlayPositionSeconds(mix.p), 0.5f);
  PlayMusic(mix.p, audiotest::Shared(MakeMusic(44100, false, std::vector<std::int16_t>(100, 9))),
            0.0f); // ignored while the silence plays
  EXPECT_FLOAT_EQ(PlayPositionSeconds(mix.p), 0.5f);
  StopMusic(mix.p);
  EXPECT_EQ(PlayPositionSeconds(mix.p), -1.0f);
  for (const double seconds : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
    PlaySilence(mix.p, seconds, 0.0f);
    EXPECT_EQ(PlayerState(mix.p), psFinished) << seconds;
  }
}

} // namespace
