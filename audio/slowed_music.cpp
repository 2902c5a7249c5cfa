#include "audio/slowed_music.h"

#include "audio/player.h"
#include "support/exceptions.h"

namespace player {

void TSlowedMusic::Feed(TPlayer& player, std::size_t count) {
  // Prepare runs only while the music is set.
  const std::int16_t* samples = player.Music->Samples.data();
  const std::int32_t musicFrames = player.MusicFrames.load(std::memory_order_relaxed);
  const bool stereo = player.Stereo.load(std::memory_order_relaxed);
  const std::int64_t step = player.MusicStep.load(std::memory_order_relaxed);
  feed_.resize(2 * count);
  // The same frames the unslowed mix would take; silence once the music ends.
  for (std::size_t n = 0; n < count; ++n) {
    const auto i = static_cast<std::int32_t>(feedPos_ >> 16);
    std::int16_t left = 0, right = 0;
    if (i >= 0 && i < musicFrames - 2) {
      left = stereo ? samples[2 * std::int64_t(i)] : samples[i];
      right = stereo ? samples[2 * std::int64_t(i) + 1] : samples[i];
      feedPos_ += step;
    }
    feed_[2 * n] = left;
    feed_[2 * n + 1] = right;
  }
  stretcher_->Feed(feed_.data(), count);
}

void TSlowedMusic::Prepare(TPlayer& player, double speed, int frames) {
  const std::uint32_t session = player.MusicSession.load(std::memory_order_relaxed);
  const std::int64_t pos = player.MusicPos.load(std::memory_order_relaxed);
  out_.resize(2 * static_cast<std::size_t>(frames));
  // Once the output has reached the end the mix takes no more music.
  if ((pos >> 16) >= player.MusicFrames.load(std::memory_order_relaxed) - 2) return;
  if (!stretcher_) stretcher_ = std::make_unique<TTimeStretcher>();
  const double step = static_cast<double>(player.MusicStep.load(std::memory_order_relaxed));
  if (!active_ || session != session_) {
    stretcher_->Restart(speed);
    active_ = true;
    session_ = session;
    feedPos_ = pos;
    lagFrames_ = 0;
    step_ = step * speed;
    Anchor(pos, step_);
  } else if (speed != stretcher_->Speed()) {
    if (lagFrames_ == 0) {
      Anchor(pos, step_);
      lagFrames_ = static_cast<std::int64_t>(stretcher_->Delay());
    }
    step_ = step * speed;
    stretcher_->SetSpeed(speed);
  }
  const auto wanted = static_cast<std::size_t>(frames);
  // Real-time stretching gives output for every block it is fed; the bound
  // only keeps a misbehaving library from hanging the player.
  std::size_t fed = 0;
  while (stretcher_->Available() < wanted) {
    if (fed > 8 * wanted + 65536) throw MyServis::EError("The time stretcher gives no output");
    const std::size_t count = stretcher_->FramesWanted();
    Feed(player, count);
    fed += count;
  }
  stretcher_->Take(out_.data(), wanted);
}

} // namespace player
