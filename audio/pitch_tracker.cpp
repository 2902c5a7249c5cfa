#include "audio/pitch_tracker.h"

#include "audio/analyser.h"

#include <algorithm>
#include <aubio/aubio.h>
#include <cmath>
#include <memory>

namespace pitch {
namespace {

constexpr double C4 = 261.6255653005986;
// Sung fundamentals lie well inside this range; the rest is taken for no pitch.
constexpr float LowestHz = 50.0f;
constexpr float HighestHz = 1500.0f;
constexpr float SilenceDb = -60.0f;
constexpr int ProgressEvery = 64;

struct TFreeAubioPitch {
  void operator()(aubio_pitch_t* p) const { del_aubio_pitch(p); }
};
struct TFreeFvec {
  void operator()(fvec_t* v) const { del_fvec(v); }
};

// The music as one channel, at half the rate when that keeps a whole number of
// frames per block: a voice's fundamental needs no more than 16 kHz.
struct TMono {
  std::vector<float> Samples;
  int Rate = 0;
  int Hop = 0; // frames per block
};

TMono MonoOf(const songData::TPcmMusic& music) {
  const int channels = songData::Channels(music);
  const int blockFrames = analyser::BlockFrames(music);
  const int step = music.SampleRate >= 32000 && blockFrames % 2 == 0 ? 2 : 1;
  const std::size_t frames = songData::Frames(music) / static_cast<std::size_t>(step);
  TMono mono{std::vector<float>(frames), music.SampleRate / step, blockFrames / step};
  const float scale = 1.0f / (32768.0f * static_cast<float>(step * channels));
  const std::int16_t* in = music.Samples.data();
  for (std::size_t i = 0; i < frames; ++i) {
    std::int32_t sum = 0;
    for (int k = 0; k < step * channels; ++k)
      sum += *in++;
    mono.Samples[i] = static_cast<float>(sum) * scale;
  }
  return mono;
}

// About 46 ms, a power of two: two periods of the lowest sung note fit in it.
int WindowFrames(int rate) {
  return 1 << static_cast<int>(std::lround(std::log2(rate * 0.0464)));
}

// The normalised autocorrelation of the window at a lag: near 1 for a voice
// at that period, near 0 for noise.
double Periodicity(const float* x, int window, int lag) {
  double xy = 0.0, xx = 0.0, yy = 0.0;
  for (int i = 0; i + lag < window; ++i) {
    xy += double(x[i]) * x[i + lag];
    xx += double(x[i]) * x[i];
    yy += double(x[i + lag]) * x[i + lag];
  }
  return xx > 0.0 && yy > 0.0 ? xy / std::sqrt(xx * yy) : 0.0;
}

// The detector's pitch is refined to the best nearby lag, interpolated, and the
// periodicity there is the confidence.
TPitchPoint Refine(const float* x, int window, int rate, float hz) {
  if (hz < LowestHz || hz > HighestHz) return {};
  const int lag = static_cast<int>(std::lround(rate / hz));
  if (lag < 4 || lag + 2 >= window / 2) return {};
  int best = lag;
  double bestValue = Periodicity(x, window, lag);
  for (int l = lag - 2; l <= lag + 2; ++l) {
    const double value = Periodicity(x, window, l);
    if (value > bestValue) {
      bestValue = value;
      best = l;
    }
  }
  const double before = Periodicity(x, window, best - 1);
  const double after = Periodicity(x, window, best + 1);
  const double curve = before - 2.0 * bestValue + after;
  const double offset = curve < 0.0 ? std::clamp(0.5 * (before - after) / curve, -0.5, 0.5) : 0.0;
  return {static_cast<float>(rate / (best + offset)),
          static_cast<float>(std::clamp(bestValue, 0.0, 1.0))};
}

} // namespace

double ToneOfFrequency(double hz) {
  return 12.0 * std::log2(hz / C4);
}

std::optional<TPitchContour> TrackPitch(const songData::TPcmMusic& music,
                                        const std::function<bool(float)>& progress) {
  TPitchContour contour;
  if (music.SampleRate <= 0 || music.Samples.empty()) return contour;
  contour.BlockSeconds = double(analyser::BlockFrames(music)) / music.SampleRate;
  const TMono mono = MonoOf(music);
  const int hop = mono.Hop;
  const int window = std::max(WindowFrames(mono.Rate), hop);
  if (hop <= 0) return contour;
  const std::size_t blocks = mono.Samples.size() / static_cast<std::size_t>(hop);
  // Padded so that every block's window, centred on the block, lies inside.
  std::vector<float> padded(mono.Samples.size() + 2 * static_cast<std::size_t>(window + hop));
  std::copy(mono.Samples.begin(), mono.Samples.end(), padded.begin() + window);

  // Each call hands the detector a whole window, centred on its block.
  std::unique_ptr<aubio_pitch_t, TFreeAubioPitch> detector(
      new_aubio_pitch("yinfft", static_cast<uint_t>(window), static_cast<uint_t>(window),
                      static_cast<uint_t>(mono.Rate)));
  std::unique_ptr<fvec_t, TFreeFvec> input(new_fvec(static_cast<uint_t>(window)));
  std::unique_ptr<fvec_t, TFreeFvec> output(new_fvec(1));
  if (!detector || !input || !output) return contour;
  aubio_pitch_set_unit(detector.get(), "Hz");
  aubio_pitch_set_silence(detector.get(), SilenceDb);

  contour.Points.resize(blocks);
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::size_t centre = static_cast<std::size_t>(window) +
                               b * static_cast<std::size_t>(hop) +
                               static_cast<std::size_t>(hop / 2);
    const float* start = padded.data() + (centre - static_cast<std::size_t>(window / 2));
    std::copy_n(start, window, input->data);
    aubio_pitch_do(detector.get(), input.get(), output.get());
    contour.Points[b] = Refine(start, window, mono.Rate, output->data[0]);
    if (progress && b % ProgressEvery == 0 && !progress(float(b) / float(blocks)))
      return std::nullopt;
  }
  return contour;
}

} // namespace pitch
