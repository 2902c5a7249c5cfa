#include "audio/audio_output.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace player {
namespace {

// Paces the player as a sound device would, so playback still moves through
// the music when nothing can be heard. The player thread drives it; the queue
// may be asked from any thread, so what that reads is atomic.
class TNullOutput : public TAudioOutput {
public:
  void Open(int bufferFrames) override {
    bufferTime_ = std::chrono::microseconds(std::int64_t(bufferFrames) * 1000000 / OutputRate);
    start_ = Clock::now();
    startTicks_ = start_.time_since_epoch().count();
    bufferMicros_ = bufferTime_.count();
    written_ = finished_ = 0;
  }
  void Write(const std::int16_t*, int) override { ++written_; }
  bool IsSilent() const override { return true; }
  // What is written plays from the opening on, one buffer after another.
  double QueuedSeconds() const override {
    const Clock::duration elapsed =
        Clock::now().time_since_epoch() - Clock::duration(startTicks_.load());
    const double played = std::chrono::duration<double>(elapsed).count();
    const double written = double(written_.load()) * double(bufferMicros_.load()) / 1e6;
    return std::max(written - played, 0.0);
  }
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
  std::atomic<Clock::rep> startTicks_{0};
  std::atomic<std::int64_t> bufferMicros_{0};
  std::atomic<std::int64_t> written_{0};
  std::int64_t finished_ = 0;
};

} // namespace

std::unique_ptr<TAudioOutput> MakeNullOutput() {
  return std::make_unique<TNullOutput>();
}

} // namespace player
