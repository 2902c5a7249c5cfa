// The music is shared: whoever reads it holds it, so the giver may let it go at
// any time. Run under AddressSanitizer and ThreadSanitizer these find music read
// after it was freed and music read without the player's lock.
#include "audio/analyser.h"
#include "audio/capture_output.h"
#include "audio/pitch_worker.h"
#include "audio/player.h"
#include "audio_fixtures.h"

#include <algorithm>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using songData::TPcmMusic;

// Music whose every sample is `level`, so each sample mixed at full gain shows
// which music it came from.
std::shared_ptr<const TPcmMusic> Level(std::int16_t level, int frames = 44100) {
  return audiotest::Shared(
      audiotest::MakeMusic(44100, false, std::vector<std::int16_t>(frames, level)));
}

// Music at full gain from the first frame, no tone.
void FullGain(player::TPlayer& p) {
  player::SetMusicVolume(p, 100);
  p.MusicVolume = 4096;
}

TEST(MusicOwnership, ThePlayerHoldsTheMusicFromPlayUntilStop) {
  player::TPlayer p;
  player::PreparePlayer(p, 2205);
  FullGain(p);
  std::shared_ptr<const TPcmMusic> music = Level(1234);
  const std::weak_ptr<const TPcmMusic> watch = music;
  player::PlayMusic(p, std::move(music), 0.0f);
  EXPECT_FALSE(watch.expired()); // the giver's reference is gone, the player's is not
  player::TCaptureOutput capture;
  capture.Open(2205);
  player::RenderBuffers(p, capture, 2);
  const std::vector<std::int16_t> out = capture.Samples();
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t s) { return s == 1234; }));
  player::StopMusic(p);
  EXPECT_TRUE(watch.expired());
}

TEST(MusicOwnership, NullMusicPlaysNothing) {
  player::TPlayer p;
  player::PreparePlayer(p, 2205);
  player::PlayMusic(p, nullptr, 0.0f);
  EXPECT_EQ(player::PlayerState(p), player::psFinished);
  EXPECT_EQ(player::PlayPositionSeconds(p), -1.0f);
}

// An output that lets the player thread mix one buffer each time the test
// allows it, and counts the samples that are neither silence nor a level.
class TPacedOutput : public player::TAudioOutput {
public:
  void Open(int) override {}
  void Write(const std::int16_t* frames, int frameCount) override {
    std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < 2 * frameCount; ++i)
      if (frames[i] < 0 || frames[i] % 100 != 0) ++strays_;
    ++written_;
    changed_.notify_all();
  }
  bool WaitBufferDone(std::chrono::milliseconds timeout) override {
    std::unique_lock<std::mutex> guard(lock_);
    if (!changed_.wait_for(guard, timeout, [this] { return allowed_ > 0; })) return false;
    --allowed_;
    return true;
  }
  void Close() override {}

  // Returns at once; the player thread may mix one more buffer from now on.
  void AllowOne() {
    std::lock_guard<std::mutex> guard(lock_);
    ++allowed_;
    changed_.notify_all();
  }
  // Allows one more buffer and returns once it is written.
  void MixOne() {
    std::unique_lock<std::mutex> guard(lock_);
    const int target = written_ + allowed_ + 1;
    ++allowed_;
    changed_.notify_all();
    changed_.wait(guard, [&] { return written_ >= target; });
  }
  int Strays() const {
    std::lock_guard<std::mutex> guard(lock_);
    return strays_;
  }

private:
  mutable std::mutex lock_;
  std::condition_variable changed_;
  int allowed_ = 0;
  int written_ = 0;
  int strays_ = 0;
};

// Choose Music during playback and before the first buffer: the GUI thread stops
// the music and lets it go while the player thread is about to mix it, then plays
// the next. Every mixed sample is one of the musics' own or silence.
TEST(MusicOwnership, MusicReplacedWhileThePlayerThreadMixesIt) {
  player::TPlayer p;
  FullGain(p);
  auto output = std::make_unique<TPacedOutput>();
  TPacedOutput& paced = *output;
  player::InitPlayer(p, 2205, std::move(output));
  for (int round = 1; round <= 90; ++round) {
    std::shared_ptr<const TPcmMusic> music = Level(static_cast<std::int16_t>(100 * round));
    const std::weak_ptr<const TPcmMusic> watch = music;
    player::PlayMusic(p, std::move(music), 0.0f);
    // A third of the rounds stop it before the thread can mix, a third while it
    // is about to, and a third after a buffer of it.
    if (round % 3 == 1) paced.AllowOne();
    if (round % 3 == 2) paced.MixOne();
    player::StopMusic(p);
    EXPECT_TRUE(watch.expired()) << round;
  }
  player::ShutdownPlayer(p);
  EXPECT_TRUE(player::TakePlayerFailures(p).empty());
  EXPECT_EQ(paced.Strays(), 0);
}

TEST(MusicOwnership, TheAnalysersAndThePitchWorkerHoldWhatTheyRead) {
  EventMan::TEventManager events;
  std::shared_ptr<const TPcmMusic> music = audiotest::Shared(audiotest::MakeMusic(
      44100, false, audiotest::SineSamples(44100, 1, 44100 * 3, 261.63, 8000)));
  const std::weak_ptr<const TPcmMusic> watch = music;

  analyser::TAnalyser analyser;
  analyser::CreateSpectrumStrips(analyser, *music);
  analyser::StartAnalysers(analyser, music, events);
  pitch::TPitchWorker worker;
  pitch::StartPitchWorker(worker, music, events);
  music.reset();
  EXPECT_FALSE(watch.expired());
  analyser::WaitForAnalysers(analyser);
  pitch::WaitForPitchWorker(worker);
  EXPECT_TRUE(watch.expired()); // both let it go once done
  EXPECT_EQ(analyser.AnalysedBlocks, analyser::BlockCount(audiotest::MakeMusic(
                                         44100, false, std::vector<std::int16_t>(44100 * 3))));
  ASSERT_TRUE(pitch::PitchContour(worker));
  EXPECT_FALSE(pitch::PitchContour(worker)->Points.empty());

  // Null music starts neither.
  analyser::StartAnalysers(analyser, nullptr, events);
  EXPECT_TRUE(analyser.Threads.empty());
  pitch::StartPitchWorker(worker, nullptr, events);
  EXPECT_FALSE(worker.Thread.joinable());
  EXPECT_FALSE(pitch::PitchContour(worker));
}

} // namespace
