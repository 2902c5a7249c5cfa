#pragma once
// An output that records every buffer without waiting, for tests and offline
// mixing. The player thread writes; any thread reads through the methods.
#include "audio/audio_output.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace player {

class TCaptureOutput : public TAudioOutput {
public:
  // With a limit, buffers stop finishing once that many frames are recorded.
  explicit TCaptureOutput(std::size_t frameLimit = 0) : frameLimit_(frameLimit) {}

  void Open(int bufferFrames) override;
  void Write(const std::int16_t* frames, int frameCount) override;
  bool WaitBufferDone(std::chrono::milliseconds timeout) override;
  void Close() override;
  // Nothing waits to be played unless a test says otherwise.
  double QueuedSeconds() const override;
  void SetQueuedSeconds(double seconds);

  // Blocks until at least this many frames are recorded.
  void WaitForFrames(std::size_t frames);
  // Interleaved left, right samples recorded so far.
  std::vector<std::int16_t> Samples() const;
  std::size_t FrameCount() const;
  int BufferFrames() const;
  bool IsClosed() const;
  // Keeps only the first frames recorded.
  void Truncate(std::size_t frames);

private:
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::vector<std::int16_t> samples_;
  std::size_t frameLimit_;
  int bufferFrames_ = 0;
  bool closed_ = false;
  double queuedSeconds_ = 0.0;
};

} // namespace player
