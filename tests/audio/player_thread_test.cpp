#include "audio/capture_output.h"
#include "audio/player.h"
#include "audio_fixtures.h"
#include "support/exceptions.h"
#include "support/message_boxes.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace player;

TEST(PlayerThread, FillsTheCaptureAndStopsOnShutdown) {
  TPlayer p;
  auto output = std::make_unique<TCaptureOutput>(2205 * 6);
  TCaptureOutput& capture = *output;
  InitPlayer(p, 2205, std::move(output));
  EXPECT_EQ(p.ToneMix, 4096);
  capture.WaitForFrames(2205 * 6);
  ShutdownPlayer(p);
  EXPECT_TRUE(p.PlayerFinished);
  EXPECT_TRUE(capture.IsClosed());
  EXPECT_EQ(capture.BufferFrames(), 2205);
  EXPECT_EQ(capture.FrameCount() % 2205, 0u);
  std::vector<std::int16_t> out = capture.Samples();
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t s) { return s == 0; }));
  EXPECT_TRUE(TakePlayerFailures(p).empty());
  ShutdownPlayer(p); // a second shutdown finds nothing to wait for
}

TEST(PlayerThread, BufferFramesAreCappedAt4096) {
  TPlayer p;
  auto output = std::make_unique<TCaptureOutput>(1);
  TCaptureOutput& capture = *output;
  InitPlayer(p, 100000, std::move(output));
  capture.WaitForFrames(1);
  ShutdownPlayer(p);
  EXPECT_EQ(capture.BufferFrames(), MaxBufferFrames);
}

// An output whose third buffer is refused.
class TRefusingOutput : public TAudioOutput {
public:
  void Open(int) override {}
  void Write(const std::int16_t*, int) override {
    if (++writes_ == 3) throw MyServis::EError("WOW error: 7");
  }
  bool WaitBufferDone(std::chrono::milliseconds) override { return true; }
  void Close() override {}

private:
  int writes_ = 0;
};

TEST(PlayerThread, FailureIsShownOnTheCallingThreadOnly) {
  std::vector<std::pair<std::string, std::thread::id>> shown;
  MyServis::SetMessageBoxHook(
      [&](const std::string& text, const std::string& caption, MyServis::TMessageStyle) {
        shown.emplace_back(caption + ": " + text, std::this_thread::get_id());
        return MyServis::TMessageResult::mrOK;
      });
  TPlayer p;
  InitPlayer(p, 2205, std::make_unique<TRefusingOutput>());
  p.Thread.join(); // the thread ends by itself after the failure
  EXPECT_TRUE(p.PlayerFinished);
  EXPECT_TRUE(shown.empty());
  ShowPlayerFailures(p);
  MyServis::SetMessageBoxHook(nullptr);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].first.starts_with("Error: ")) << shown[0].first;
  EXPECT_TRUE(shown[0].first.ends_with("WOW error: 7")) << shown[0].first;
  EXPECT_EQ(shown[0].second, std::this_thread::get_id());
  EXPECT_TRUE(TakePlayerFailures(p).empty());
}

TEST(PlayerThread, EditsDuringPlaybackNeverTouchWhatThePlayerReads) {
  TPlayer p;
  auto output = std::make_unique<TCaptureOutput>(2205 * 60);
  TCaptureOutput& capture = *output;
  InitPlayer(p, 2205, std::move(output));
  SetMusicVolume(p, 100);
  PlayMusic(p,
            audiotest::Shared(
                audiotest::MakeMusic(44100, false, std::vector<std::int16_t>(44100 * 4, 1000))),
            0.0f);
  songData::TSong song;
  song.BPM = 600;
  for (int round = 0; round < 200; ++round) {
    song.Notes.resize(round % 50);
    for (std::size_t i = 0; i < song.Notes.size(); ++i) {
      song.Notes[i].Start = static_cast<std::int32_t>(i * 2);
      song.Notes[i].Length = 1;
      song.Notes[i].Pitch = round % 12;
    }
    PublishPlayerSong(p, song);
    StartTone(p, round % 20, true);
  }
  capture.WaitForFrames(2205 * 40);
  StopMusic(p);
  capture.WaitForFrames(2205 * 60);
  ShutdownPlayer(p);
  EXPECT_TRUE(TakePlayerFailures(p).empty());
}

// The GUI thread changes the speed and asks where the listener is while the
// player thread mixes; run under ThreadSanitizer this finds any shared field
// that is not atomic.
TEST(PlayerThread, SpeedAndHeardPositionDuringPlayback) {
  TPlayer p;
  auto output = std::make_unique<TCaptureOutput>(2205 * 80);
  TCaptureOutput& capture = *output;
  capture.SetQueuedSeconds(0.1);
  InitPlayer(p, 2205, std::move(output));
  songData::TPcmMusic music;
  music.SampleRate = 44100;
  music.Samples.resize(44100 * 4);
  for (std::size_t i = 0; i < music.Samples.size(); ++i)
    music.Samples[i] = static_cast<std::int16_t>((i * 37) % 2000);
  SetMusicVolume(p, 100);
  PlayMusic(p, audiotest::Shared(music), 0.5f);
  const double speeds[] = {0.5, 0.75, 1.0, 0.6, 0.9};
  for (int round = 0; capture.FrameCount() < 2205 * 60; ++round) {
    SetPlaybackSpeed(p, speeds[round % 5]);
    const float heard = HeardPositionSeconds(p, 0.02);
    ASSERT_GE(heard, 0.5f);
    ASSERT_LE(heard, 4.0f);
    capture.WaitForFrames(2205 * (2 + round / 8));
  }
  StopMusic(p);
  EXPECT_EQ(HeardPositionSeconds(p, 0.0), -1.0f);
  capture.WaitForFrames(2205 * 80);
  ShutdownPlayer(p);
  EXPECT_TRUE(TakePlayerFailures(p).empty());
}

} // namespace
