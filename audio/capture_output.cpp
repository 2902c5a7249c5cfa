#include "audio/capture_output.h"

namespace player {

void TCaptureOutput::Open(int bufferFrames) {
  std::lock_guard<std::mutex> guard(lock_);
  bufferFrames_ = bufferFrames;
  closed_ = false;
}

void TCaptureOutput::Write(const std::int16_t* frames, int frameCount) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    samples_.insert(samples_.end(), frames, frames + 2 * frameCount);
  }
  changed_.notify_all();
}

bool TCaptureOutput::WaitBufferDone(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> guard(lock_);
  if (frameLimit_ == 0 || samples_.size() / 2 < frameLimit_) return true;
  // Full: nothing finishes any more; the wait only keeps the loop responsive.
  changed_.wait_for(guard, timeout, [this] { return closed_; });
  return false;
}

void TCaptureOutput::Close() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
  }
  changed_.notify_all();
}

double TCaptureOutput::QueuedSeconds() const {
  std::lock_guard<std::mutex> guard(lock_);
  return queuedSeconds_;
}

void TCaptureOutput::SetQueuedSeconds(double seconds) {
  std::lock_guard<std::mutex> guard(lock_);
  queuedSeconds_ = seconds;
}

void TCaptureOutput::WaitForFrames(std::size_t frames) {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [&] { return samples_.size() / 2 >= frames || closed_; });
}

std::vector<std::int16_t> TCaptureOutput::Samples() const {
  std::lock_guard<std::mutex> guard(lock_);
  return samples_;
}

std::size_t TCaptureOutput::FrameCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return samples_.size() / 2;
}

int TCaptureOutput::BufferFrames() const {
  std::lock_guard<std::mutex> guard(lock_);
  return bufferFrames_;
}

bool TCaptureOutput::IsClosed() const {
  std::lock_guard<std::mutex> guard(lock_);
  return closed_;
}

void TCaptureOutput::Truncate(std::size_t frames) {
  std::lock_guard<std::mutex> guard(lock_);
  if (samples_.size() > 2 * frames) samples_.resize(2 * frames);
}

} // namespace player
