#pragma once
// Where the player's buffers of 16-bit stereo at 44100 Hz go. One output is
// driven by the player thread alone (or by the caller of RenderBuffers).
#include <chrono>
#include <cstdint>
#include <memory>

namespace player {

constexpr int OutputRate = 44100;

class TAudioOutput {
public:
  virtual ~TAudioOutput() = default;
  // Throws EError when the output cannot take buffers of this many frames.
  virtual void Open(int bufferFrames) = 0;
  // Hands over one buffer; the output copies it.
  virtual void Write(const std::int16_t* frames, int frameCount) = 0;
  // Waits at most timeout for one of the written buffers to finish playing.
  virtual bool WaitBufferDone(std::chrono::milliseconds timeout) = 0;
  virtual void Close() = 0;
  // Whether the buffers go nowhere audible; any thread may ask.
  virtual bool IsSilent() const { return false; }
  // Seconds of audio written but not yet heard; any thread may ask.
  virtual double QueuedSeconds() const { return 0.0; }
};

// The sound device through SDL2, two buffers queued; without a device it logs
// "No sound device: playing silently" and becomes a null output.
std::unique_ptr<TAudioOutput> MakeDeviceOutput();

// Takes every buffer and lets it finish as the clock would play it.
std::unique_ptr<TAudioOutput> MakeNullOutput();

} // namespace player
