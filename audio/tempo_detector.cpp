#include "audio/tempo_detector.h"

#include "support/exceptions.h"

#include <algorithm>
#include <aubio/aubio.h>
#include <cmath>
#include <cstddef>
#include <memory>

namespace tempo {
namespace {

const char* const NoBeatMessage = "No steady beat found in the music";
constexpr std::size_t MinBeats = 8;
// Beat periods considered, in seconds: 240 down to 40 beats per minute.
constexpr double MinPeriod = 0.25, MaxPeriod = 1.5;
// Energy hops per aubio hop; 64 samples at 44.1 kHz place an onset within 1.5 ms.
constexpr int FineHopsPerHop = 8;
// An onset's energy, 12 ms after it, against 12 ms before it; a held tone stays near 1.
constexpr double MinRise = 1.4;

struct TAubioDeleter {
  void operator()(aubio_tempo_t* o) const { del_aubio_tempo(o); }
  void operator()(fvec_t* v) const { del_fvec(v); }
};

// What one pass over the music yields: aubio's beats and the energy of every short hop.
struct TTrack {
  std::vector<double> Beats;       // seconds, as aubio reports them
  std::vector<double> AubioBpm;    // aubio's own tempo at each beat
  std::vector<double> HopEnergies; // sum of squares of each fine hop
  double FineHopSeconds = 0.0;
};

// A power of two near 512 samples at 44.1 kHz, so the tracker sees the same time scale at any rate.
unsigned HopSize(int rate) {
  const double wanted = 512.0 * rate / 44100.0;
  unsigned hop = 64;
  while (hop * 1.5 < wanted)
    hop *= 2;
  return hop;
}

std::optional<TTrack> TrackBeats(const songData::TPcmMusic& music,
                                 const std::function<bool(float)>& progress) {
  const unsigned hop = HopSize(music.SampleRate);
  const unsigned fineHop = hop / FineHopsPerHop;
  std::unique_ptr<aubio_tempo_t, TAubioDeleter> tracker(
      new_aubio_tempo("specflux", 2 * hop, hop, static_cast<uint_t>(music.SampleRate)));
  std::unique_ptr<fvec_t, TAubioDeleter> input(new_fvec(hop));
  std::unique_ptr<fvec_t, TAubioDeleter> output(new_fvec(1));
  if (!tracker || !input || !output) throw MyServis::EError("Cannot start the beat tracker");

  TTrack track;
  track.FineHopSeconds = static_cast<double>(fineHop) / music.SampleRate;
  const std::size_t frames = songData::Frames(music);
  const int channels = songData::Channels(music);
  const std::size_t blocks = (frames + hop - 1) / hop;
  track.HopEnergies.reserve(blocks * FineHopsPerHop);
  const float scale = 1.0f / (32768.0f * static_cast<float>(channels));
  for (std::size_t block = 0; block < blocks; ++block) {
    if (progress && block % 256 == 0 &&
        !progress(0.9f * static_cast<float>(block) / static_cast<float>(blocks)))
      return std::nullopt;
    for (unsigned i = 0; i < hop; ++i) {
      const std::size_t frame = block * hop + i;
      float value = 0.0f;
      if (frame < frames)
        for (int c = 0; c < channels; ++c)
          value += music.Samples[frame * channels + c];
      input->data[i] = value * scale;
    }
    for (unsigned f = 0; f < hop; f += fineHop) {
      double energy = 0.0;
      for (unsigned i = f; i < f + fineHop; ++i)
        energy += static_cast<double>(input->data[i]) * input->data[i];
      track.HopEnergies.push_back(energy);
    }
    aubio_tempo_do(tracker.get(), input.get(), output.get());
    if (output->data[0] != 0.0f) {
      track.Beats.push_back(aubio_tempo_get_last_s(tracker.get()));
      track.AubioBpm.push_back(aubio_tempo_get_bpm(tracker.get()));
    }
  }
  return track;
}

// Onsets from the fine hop energies: the rise of the energy over 4 hops against
// the 4 hops before, placed at the start of the later window.
class TOnsets {
public:
  explicit TOnsets(const TTrack& track)
      : energies_(track.HopEnergies), hopSeconds_(track.FineHopSeconds) {}

  // The strongest rise within halfWidth of t, with its time; 0 strength when there is none.
  struct TPeak {
    double Time = 0.0;
    double Strength = 0.0;
    bool Rises = false; // the energy after it clearly exceeds the energy before it
  };
  TPeak PeakNear(double t, double halfWidth) const {
    const long first = std::max(0L, std::lround((t - halfWidth) / hopSeconds_));
    const long last = std::min(Size() - 1, std::lround((t + halfWidth) / hopSeconds_));
    TPeak peak;
    long best = -1;
    for (long n = first; n <= last; ++n) {
      const double flux = Flux(n);
      if (flux > peak.Strength) {
        peak.Strength = flux;
        best = n;
      }
    }
    if (best >= 0) {
      peak.Time = static_cast<double>(best) * hopSeconds_;
      peak.Rises = Sum(best, best + 8) >= MinRise * Sum(best - 10, best - 2) + 1e-9;
    }
    return peak;
  }

private:
  long Size() const { return static_cast<long>(energies_.size()); }
  double Sum(long from, long to) const {
    double sum = 0.0;
    for (long n = std::max(0L, from); n < std::min(Size(), to); ++n)
      sum += energies_[static_cast<std::size_t>(n)];
    return sum;
  }
  double Flux(long n) const { return std::max(0.0, Sum(n, n + 4) - Sum(n - 4, n)); }

  const std::vector<double>& energies_;
  double hopSeconds_;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

struct TGrid {
  double Start = 0.0; // time of beat 0, seconds
  double Period = 0.0;
  double At(long k) const { return Start + static_cast<double>(k) * Period; }
  long Index(double t) const { return std::lround((t - Start) / Period); }
};

TGrid FitLine(const std::vector<long>& indices, const std::vector<double>& times) {
  const double n = static_cast<double>(times.size());
  double meanK = 0.0, meanT = 0.0;
  for (std::size_t i = 0; i < times.size(); ++i) {
    meanK += static_cast<double>(indices[i]) / n;
    meanT += times[i] / n;
  }
  double kk = 0.0, kt = 0.0;
  for (std::size_t i = 0; i < times.size(); ++i) {
    const double dk = static_cast<double>(indices[i]) - meanK;
    kk += dk * dk;
    kt += dk * (times[i] - meanT);
  }
  if (kk <= 0.0) throw MyServis::EError(NoBeatMessage);
  const double period = kt / kk;
  return {meanT - period * meanK, period};
}

// aubio's beats, moved onto the onsets they stand for. aubio reports a beat a
// little off its onset, the same amount each time, so that shift is found first.
std::vector<double> OnsetBeats(const std::vector<double>& beats, const TOnsets& onsets,
                               double period, double fineHop) {
  double bestShift = 0.0, bestScore = -1.0;
  for (double shift = -0.25 * period; shift <= 0.25 * period; shift += fineHop) {
    double score = 0.0;
    for (double beat : beats)
      score += onsets.PeakNear(beat + shift, 4 * fineHop).Strength;
    if (score > bestScore) {
      bestScore = score;
      bestShift = shift;
    }
  }
  std::vector<double> times;
  for (double beat : beats) {
    const TOnsets::TPeak peak = onsets.PeakNear(beat + bestShift, 0.12 * period);
    if (!peak.Rises) continue;
    if (!times.empty() && peak.Time - times.back() < 0.1 * period) continue;
    times.push_back(peak.Time);
  }
  return times;
}

// The longest period that most intervals between the beats are whole multiples
// of, so a tracker that skips beats or briefly counts eighths still gives the
// beat. It is then averaged over every interval that fits it.
double GridPeriod(const std::vector<double>& times) {
  std::vector<double> intervals;
  for (std::size_t i = 1; i < times.size(); ++i)
    intervals.push_back(times[i] - times[i - 1]);
  auto fits = [](double interval, double period) {
    const double multiple = interval / period;
    return multiple > 0.5 && std::abs(multiple - std::round(multiple)) <= 0.08;
  };
  std::vector<std::pair<double, double>> shares; // period, share of intervals fitting it
  double bestShare = 0.0;
  for (double interval : intervals)
    for (int n = 1; n <= 8; ++n) {
      const double period = interval / n;
      if (period < MinPeriod || period > MaxPeriod) continue;
      const auto count = std::count_if(intervals.begin(), intervals.end(),
                                       [&](double d) { return fits(d, period); });
      const double share = static_cast<double>(count) / static_cast<double>(intervals.size());
      shares.emplace_back(period, share);
      bestShare = std::max(bestShare, share);
    }
  double period = 0.0;
  for (const auto& [candidate, share] : shares)
    if (share >= 0.85 * bestShare) period = std::max(period, candidate);
  if (bestShare < 0.5) throw MyServis::EError(NoBeatMessage);
  double sum = 0.0, beats = 0.0;
  for (double interval : intervals)
    if (fits(interval, period)) {
      sum += interval;
      beats += std::round(interval / period);
    }
  return sum / beats;
}

// The grid through the beats by least squares, refitted without the beats far
// off it. It starts at the phase most beats share, so stray beats cannot shift it.
TGrid FitGrid(const std::vector<double>& times, double period, std::vector<double>& inliers) {
  constexpr int Bins = 40;
  std::vector<int> phases(Bins, 0);
  auto phaseBin = [&](double t) {
    const double phase = t / period - std::floor(t / period);
    return std::min(Bins - 1, static_cast<int>(phase * Bins));
  };
  for (double t : times)
    ++phases[static_cast<std::size_t>(phaseBin(t))];
  const int peak =
      static_cast<int>(std::max_element(phases.begin(), phases.end()) - phases.begin());
  TGrid grid{(peak + 0.5) * period / Bins, period};
  for (int round = 0; round < 3; ++round) {
    std::vector<long> indices;
    std::vector<double> kept;
    for (double t : times) {
      const long k = grid.Index(t);
      if (std::abs(t - grid.At(k)) <= 0.1 * grid.Period) {
        indices.push_back(k);
        kept.push_back(t);
      }
    }
    if (kept.size() < MinBeats) throw MyServis::EError(NoBeatMessage);
    grid = FitLine(indices, kept);
    inliers = std::move(kept);
  }
  return grid;
}

struct TBeatStrengths {
  double OnBeat = 0.0, OffBeat = 0.0, Even = 0.0, Odd = 0.0;
};

TBeatStrengths Strengths(const TGrid& grid, const TOnsets& onsets, long first, long last,
                         double halfWidth) {
  TBeatStrengths s;
  for (long k = first; k <= last; ++k) {
    const double on = onsets.PeakNear(grid.At(k), halfWidth).Strength;
    s.OnBeat += on;
    (k % 2 == 0 ? s.Even : s.Odd) += on;
    s.OffBeat += onsets.PeakNear(grid.At(k) + 0.5 * grid.Period, halfWidth).Strength;
  }
  return s;
}

// Share of aubio's own tempo readings near the given tempo.
double AubioShareNear(const std::vector<double>& aubioBpm, double bpm) {
  if (aubioBpm.empty()) return 0.0;
  const auto near = std::count_if(aubioBpm.begin(), aubioBpm.end(),
                                  [bpm](double b) { return std::abs(b - bpm) <= 0.04 * bpm; });
  return static_cast<double>(near) / static_cast<double>(aubioBpm.size());
}

} // namespace

std::optional<TTempoEstimate> DetectTempo(const songData::TPcmMusic& music,
                                          const std::function<bool(float)>& progress) {
  if (music.SampleRate <= 0 || songData::Frames(music) == 0) throw MyServis::EError(NoBeatMessage);
  std::optional<TTrack> track = TrackBeats(music, progress);
  if (!track) return std::nullopt;
  if (track->Beats.size() < MinBeats) throw MyServis::EError(NoBeatMessage);

  std::vector<double> intervals;
  for (std::size_t i = 1; i < track->Beats.size(); ++i)
    intervals.push_back(track->Beats[i] - track->Beats[i - 1]);
  const double roughPeriod = Median(intervals);
  const TOnsets onsets(*track);
  const std::vector<double> times =
      OnsetBeats(track->Beats, onsets, roughPeriod, track->FineHopSeconds);
  // A held tone or noise still lets aubio tick; without onsets under most ticks there is no beat.
  if (times.size() < MinBeats || 3 * times.size() < track->Beats.size())
    throw MyServis::EError(NoBeatMessage);

  std::vector<double> inliers;
  TGrid grid = FitGrid(times, GridPeriod(times), inliers);
  const double halfWidth = std::clamp(0.05 * grid.Period, 0.010, 0.025);
  auto firstIndex = [&] { return grid.Index(inliers.front() - 0.5 * grid.Period + halfWidth); };
  auto lastIndex = [&] { return grid.Index(inliers.back() + 0.5 * grid.Period - halfWidth); };
  TBeatStrengths strengths = Strengths(grid, onsets, firstIndex(), lastIndex(), halfWidth);
  if (strengths.OffBeat > 1.2 * strengths.OnBeat) {
    // Locked onto the off-beats (a hi-hat between kicks): the beats lie half a period on.
    grid.Start += 0.5 * grid.Period;
    strengths = Strengths(grid, onsets, firstIndex(), lastIndex(), halfWidth);
  } else if (strengths.OffBeat >= 0.75 * strengths.OnBeat && grid.Period / 2 >= MinPeriod) {
    // As strong between the beats as on them: the pulse is twice as fast.
    grid.Period /= 2;
    strengths = Strengths(grid, onsets, firstIndex(), lastIndex(), halfWidth);
  } else if (std::min(strengths.Even, strengths.Odd) <
                 0.15 * std::max(strengths.Even, strengths.Odd) &&
             2 * grid.Period <= MaxPeriod) {
    // Only every other grid point carries a beat: the tracker counted faint off-beats.
    if (strengths.Odd > strengths.Even) grid.Start += grid.Period;
    grid.Period *= 2;
    strengths = Strengths(grid, onsets, firstIndex(), lastIndex(), halfWidth);
  }
  const long first = firstIndex(), last = lastIndex();

  // A beat under a grid point, not the noise of a silent intro or a stray hit.
  std::vector<TOnsets::TPeak> peaks;
  std::vector<double> rising;
  for (long k = first; k <= last; ++k) {
    peaks.push_back(onsets.PeakNear(grid.At(k), halfWidth));
    if (peaks.back().Rises) rising.push_back(peaks.back().Strength);
  }
  const double typical = Median(rising);
  auto isBeat = [&](const TOnsets::TPeak& peak) {
    return peak.Rises && peak.Strength >= 0.2 * typical;
  };

  TTempoEstimate estimate;
  estimate.Bpm = 60.0 / grid.Period;
  // The grid reaches back over the intro; the gap is its first point on the music.
  long gapIndex = first;
  for (long k = std::lround(std::ceil((-halfWidth - grid.Start) / grid.Period)); k < first; ++k)
    if (isBeat(onsets.PeakNear(grid.At(k), halfWidth))) {
      gapIndex = k;
      break;
    }
  if (gapIndex == first)
    while (gapIndex < last && !isBeat(peaks[static_cast<std::size_t>(gapIndex - first)]))
      ++gapIndex;
  estimate.GapMs = std::max(0.0, grid.At(gapIndex)) * 1000.0;

  const auto beats = std::count_if(peaks.begin(), peaks.end(), isBeat);
  // A tracker that counted eighths still followed this grid.
  const TGrid eighths{grid.Start, grid.Period / 2};
  const auto onGrid = std::count_if(times.begin(), times.end(), [&](double t) {
    return std::abs(t - eighths.At(eighths.Index(t))) <= 0.1 * grid.Period;
  });
  const double fitShare = static_cast<double>(onGrid) / static_cast<double>(times.size());
  const double coverage = static_cast<double>(beats) / static_cast<double>(peaks.size());
  estimate.Confidence = std::clamp(fitShare * coverage, 0.0, 1.0);

  const double half = estimate.Bpm / 2, twice = estimate.Bpm * 2;
  if (estimate.Bpm > 160 ||
      std::min(strengths.Even, strengths.Odd) < 0.5 * std::max(strengths.Even, strengths.Odd) ||
      AubioShareNear(track->AubioBpm, half) >= 0.25)
    estimate.Alternatives.push_back(half);
  if (estimate.Bpm < 80 || strengths.OffBeat >= 0.5 * strengths.OnBeat ||
      AubioShareNear(track->AubioBpm, twice) >= 0.25)
    estimate.Alternatives.push_back(twice);

  if (progress && !progress(1.0f)) return std::nullopt;
  return estimate;
}

} // namespace tempo
