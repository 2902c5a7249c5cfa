#pragma once
// The music slowed at its own pitch, for the player's filling side only: frames
// read with the player's own resampling, stretched to 44100 Hz stereo at unit
// gain, and the music position of each frame that comes out.
#include "audio/time_stretcher.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace player {

struct TPlayer;

class TSlowedMusic {
public:
  // Readies the next frames of slowed music at this speed (below 1). Starts
  // afresh at the music position when the player was not slowing this music
  // before. The caller holds MusicLock and the music is set.
  void Prepare(TPlayer& player, double speed, int frames);
  // The frames readied last, interleaved stereo.
  const std::int16_t* Frames() const { return out_.data(); }
  // The music position (48.16) once one more readied frame has been output.
  std::int64_t Advance() {
    if (lagFrames_ > 0 && --lagFrames_ == 0) Anchor(PositionAt(count_), step_);
    ++count_;
    return PositionAt(count_);
  }
  // The next Prepare starts afresh.
  void Stop() { active_ = false; }

private:
  std::int64_t PositionAt(std::int64_t count) const {
    return anchorPos_ + static_cast<std::int64_t>(std::nearbyint(double(count) * anchorStep_));
  }
  void Anchor(std::int64_t pos, double step) {
    anchorPos_ = pos;
    anchorStep_ = step;
    count_ = 0;
  }
  void Feed(TPlayer& player, std::size_t count);

  std::unique_ptr<TTimeStretcher> stretcher_;
  bool active_ = false;
  std::uint32_t session_ = 0;
  std::int64_t feedPos_ = 0; // 48.16 music frames handed to the stretcher
  // Output frames map to music positions from an anchor at a fixed step; after
  // a change of speed the stretcher still gives out lagFrames_ frames at the
  // old step before the new one takes over.
  std::int64_t anchorPos_ = 0;
  double anchorStep_ = 0.0;
  std::int64_t count_ = 0;
  double step_ = 0.0;
  std::int64_t lagFrames_ = 0;
  std::vector<std::int16_t> feed_, out_;
};

} // namespace player
