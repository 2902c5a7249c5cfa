#include "audio/time_stretcher.h"

#include "audio/audio_output.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <rubberband/RubberBandStretcher.h>
#include <vector>

namespace player {

using RubberBand::RubberBandStretcher;

struct TTimeStretcher::TImpl {
  TImpl()
      : Stretcher(OutputRate, 2,
                  RubberBandStretcher::OptionProcessRealTime |
                      RubberBandStretcher::OptionEngineFiner,
                  1.0, 1.0) {
    Stretcher.setMaxProcessSize(MaxFeedFrames);
  }
  RubberBandStretcher Stretcher;
  std::array<std::vector<float>, 2> In{std::vector<float>(MaxFeedFrames),
                                       std::vector<float>(MaxFeedFrames)};
  std::array<std::vector<float>, 2> Out{std::vector<float>(MaxFeedFrames),
                                        std::vector<float>(MaxFeedFrames)};
  std::size_t Discard = 0; // output frames still to drop after a restart

  void Process(std::size_t count) {
    const float* in[2] = {In[0].data(), In[1].data()};
    Stretcher.process(in, count, false);
  }
};

TTimeStretcher::TTimeStretcher() : impl_(std::make_unique<TImpl>()) {}
TTimeStretcher::~TTimeStretcher() = default;

void TTimeStretcher::Restart(double speed) {
  RubberBandStretcher& s = impl_->Stretcher;
  s.reset();
  speed_ = speed;
  s.setTimeRatio(1.0 / speed);
  std::fill(impl_->In[0].begin(), impl_->In[0].end(), 0.0f);
  std::fill(impl_->In[1].begin(), impl_->In[1].end(), 0.0f);
  for (std::size_t pad = s.getPreferredStartPad(); pad > 0;) {
    const std::size_t count = std::min(pad, MaxFeedFrames);
    impl_->Process(count);
    pad -= count;
  }
  impl_->Discard = s.getStartDelay();
}

void TTimeStretcher::SetSpeed(double speed) {
  if (speed == speed_) return;
  speed_ = speed;
  impl_->Stretcher.setTimeRatio(1.0 / speed);
}

std::size_t TTimeStretcher::FramesWanted() const {
  return std::clamp<std::size_t>(impl_->Stretcher.getSamplesRequired(), 1, MaxFeedFrames);
}

void TTimeStretcher::Feed(const std::int16_t* frames, std::size_t count) {
  count = std::min(count, MaxFeedFrames);
  for (std::size_t i = 0; i < count; ++i) {
    impl_->In[0][i] = static_cast<float>(frames[2 * i]) / 32768.0f;
    impl_->In[1][i] = static_cast<float>(frames[2 * i + 1]) / 32768.0f;
  }
  impl_->Process(count);
}

std::size_t TTimeStretcher::Available() {
  // Drops the start delay first, so the count is of frames that will be taken.
  while (impl_->Discard > 0) {
    const int ready = impl_->Stretcher.available();
    if (ready <= 0) return 0;
    const std::size_t count =
        std::min({impl_->Discard, static_cast<std::size_t>(ready), MaxFeedFrames});
    float* out[2] = {impl_->Out[0].data(), impl_->Out[1].data()};
    impl_->Discard -= impl_->Stretcher.retrieve(out, count);
  }
  return static_cast<std::size_t>(std::max(impl_->Stretcher.available(), 0));
}

void TTimeStretcher::Take(std::int16_t* frames, std::size_t count) {
  while (count > 0) {
    const std::size_t chunk = std::min(count, MaxFeedFrames);
    float* out[2] = {impl_->Out[0].data(), impl_->Out[1].data()};
    const std::size_t got = impl_->Stretcher.retrieve(out, chunk);
    for (std::size_t i = 0; i < got; ++i)
      for (int c = 0; c < 2; ++c) {
        const float x = std::nearbyint(impl_->Out[c][i] * 32768.0f);
        frames[2 * i + c] = static_cast<std::int16_t>(std::clamp(x, -32768.0f, 32767.0f));
      }
    if (got == 0) {
      std::fill(frames, frames + 2 * count, std::int16_t(0));
      return;
    }
    frames += 2 * got;
    count -= got;
  }
}

std::size_t TTimeStretcher::Delay() const {
  return impl_->Stretcher.getStartDelay();
}

} // namespace player
