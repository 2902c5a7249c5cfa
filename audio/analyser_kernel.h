#pragma once
// The analyser's resonators: for each of 36 semitone bins an undamped
// oscillator driven by one block of mono samples, in single precision.
#include <array>
#include <cstddef>

namespace analyser {

constexpr int BinCount = 36;
constexpr int LaneCount = 48; // the bins rounded up to whole vectors of every width used

struct TResonatorBank {
  std::array<float, LaneCount> Coefficients{}; // (2 pi f)^2; lanes past the bins unused
  float Dt = 0.0f;                             // 1 / sample rate
};

TResonatorBank MakeResonatorBank(int sampleRate);

// Energies of every bin over x[0..count): all bins advanced together, sample
// by sample, each bin's arithmetic exactly that of ResonateOneBinAtATime.
void Resonate(const TResonatorBank& bank, const float* x, std::size_t count,
              std::array<float, BinCount>& energy);
// Two blocks of the same length at once, which keeps wide vector units busy.
void ResonatePair(const TResonatorBank& bank, const float* x0, const float* x1, std::size_t count,
                  std::array<float, BinCount>& energy0, std::array<float, BinCount>& energy1);

// The same energies, one bin after another over the whole block.
void ResonateOneBinAtATime(const TResonatorBank& bank, const float* x, std::size_t count,
                           std::array<float, BinCount>& energy);

} // namespace analyser
