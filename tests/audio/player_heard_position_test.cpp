#include "audio/capture_output.h"
#include "audio/player.h"
#include "audio_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace player;

// A player mixing on the test's thread into its own output, which reports a
// queue the test sets.
struct THeardMix {
  THeardMix() {
    p.ToneSample = {0};
    p.ToneLength = 1 << 16;
    p.BufferFrames = 2205;
    auto output = std::make_unique<TCaptureOutput>();
    capture = output.get();
    capture->Open(2205);
    p.Output = std::move(output);
  }
  TPlayer p;
  TCaptureOutput* capture;
};

TEST(HeardPosition, QueueAndLatencyMoveItBackAtTheMusicsSpeed) {
  songData::TPcmMusic music =
      audiotest::MakeMusic(22050, false, audiotest::SineSamples(22050, 1, 22050 * 6, 440, 8000));
  for (double speed : {1.0, 0.75, 0.5}) {
    SCOPED_TRACE(speed);
    THeardMix mix;
    SetPlaybackSpeed(mix.p, speed);
    EXPECT_EQ(HeardPositionSeconds(mix.p, 0.0), -1.0f);
    PlayMusic(mix.p, audiotest::Shared(music), 1.0f);
    RenderBuffers(mix.p, *mix.p.Output, 40); // two seconds of output
    const float mixing = PlayPositionSeconds(mix.p);
    EXPECT_NEAR(mixing, 1.0 + 2.0 * speed, 1e-4);
    EXPECT_FLOAT_EQ(HeardPositionSeconds(mix.p, 0.0), mixing);
    mix.capture->SetQueuedSeconds(0.1);
    EXPECT_FLOAT_EQ(HeardPositionSeconds(mix.p, 0.0), float(mixing - 0.1 * speed));
    EXPECT_FLOAT_EQ(HeardPositionSeconds(mix.p, 0.05), float(mixing - 0.15 * speed));
    // Never before where playback started, and never ahead of the mixing.
    EXPECT_FLOAT_EQ(HeardPositionSeconds(mix.p, 30.0), 1.0f);
    EXPECT_FLOAT_EQ(HeardPositionSeconds(mix.p, -1.0), mixing);
    StopMusic(mix.p);
    EXPECT_EQ(HeardPositionSeconds(mix.p, 0.0), -1.0f);
  }
}

TEST(HeardPosition, WithoutAnOutputOnlyTheLatencyCounts) {
  TPlayer p;
  p.ToneSample = {0};
  p.ToneLength = 1 << 16;
  p.BufferFrames = 2205;
  TCaptureOutput capture;
  capture.SetQueuedSeconds(5.0); // not the player's output: never asked
  songData::TPcmMusic music = audiotest::MakeMusic(44100, false, std::vector<std::int16_t>(88200));
  PlayMusic(p, audiotest::Shared(music), 0.0f);
  RenderBuffers(p, capture, 20);
  EXPECT_FLOAT_EQ(HeardPositionSeconds(p, 0.25), PlayPositionSeconds(p) - 0.25f);
}

TEST(HeardPosition, NullOutputQueuesWhatTheClockHasNotPlayed) {
  std::unique_ptr<TAudioOutput> output = MakeNullOutput();
  const auto opened = std::chrono::steady_clock::now();
  output->Open(2205);
  EXPECT_EQ(output->QueuedSeconds(), 0.0);
  std::vector<std::int16_t> buffer(2 * 2205);
  output->Write(buffer.data(), 2205);
  output->Write(buffer.data(), 2205);
  const double queued = output->QueuedSeconds();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - opened;
  EXPECT_LE(queued, 0.1);
  EXPECT_GE(queued, 0.1 - elapsed.count());
  ASSERT_TRUE(output->WaitBufferDone(std::chrono::milliseconds(200)));
  EXPECT_LE(output->QueuedSeconds(), 0.05);
}

} // namespace
