#pragma once
// Slows 16-bit stereo music at 44100 Hz at its own pitch (Rubber Band in
// real-time mode). One thread at a time uses an instance: the player's
// filling side, which also constructs it, since construction allocates.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace player {

class TTimeStretcher {
public:
  // The most frames one Feed takes.
  static constexpr std::size_t MaxFeedFrames = 4096;

  TTimeStretcher();
  ~TTimeStretcher();
  TTimeStretcher(const TTimeStretcher&) = delete;
  TTimeStretcher& operator=(const TTimeStretcher&) = delete;

  // Drops whatever is buffered and starts at this speed (0 < speed <= 1). The
  // start is padded and the stretcher's delay discarded, so the first frame
  // taken is the first frame fed afterwards.
  void Restart(double speed);
  // Changes the speed of the frames fed from now on, keeping what is buffered.
  void SetSpeed(double speed);
  double Speed() const { return speed_; }

  // Frames to feed before more output can be taken; never 0.
  std::size_t FramesWanted() const;
  // Feeds interleaved stereo frames, at most MaxFeedFrames.
  void Feed(const std::int16_t* frames, std::size_t count);
  // Stretched frames ready to be taken.
  std::size_t Available();
  // Takes count <= Available() frames as interleaved stereo.
  void Take(std::int16_t* frames, std::size_t count);
  // Output frames the stretcher holds back behind its input.
  std::size_t Delay() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
  double speed_ = 1.0;
};

} // namespace player
