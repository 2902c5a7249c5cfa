#include "audio/audio_output.h"

#include <thread>

namespace player {
namespace {

// Paces the player as a sound device would, so playback still moves through
// the music when nothing can be heard.
class TNullOutput : public TAudioOutput {
public:
  void Open(int bufferFrames) override {
    bufferTime_ = std::chrono::microseconds(std::int64_t(bufferFrames) * 1000000 / OutputRate);
    start_ = Clock::now();
    written_ = finished_ = 0;
  }
  void Write(const std::int16_t*, int) override { ++written_; }
  bool IsSilent() const override { return true; }
  bool WaitBufferDone(std::chrono::milliseconds timeout) override {
    Clock::time_point limit = Clock::now() + timeout;
    if (finished_ < written_) {
      Clock::time_point due = start_ + bufferTime_ * (finished_ + 1);
      if (due <= limit) {
        std::this_thread::sleep_until(due);
        ++finished_;
        return true;
      }
    }
    std::this_thread::sleep_until(limit);
    return false;
  }
  void Close() override {}

private:
  using Clock = std::chrono::steady_clock;
  std::chrono::microseconds bufferTime_{0};
  Clock::time_point start_;
  std::int64_t written_ = 0;
  std::int64_t finished_ = 0;
};

} // namespace

std::unique_ptr<TAudioOutput> MakeNullOutput() {
  return std::make_unique<TNullOutput>();
}

} // namespace player
