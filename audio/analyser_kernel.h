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

// Energies of every bin over two blocks x0[0..count) and x1[0..count): all
// bins of both blocks advanced together, sample by sample, each bin's
// arithmetic exactly that of ResonateOneBinAtATime. Two blocks at once keep
// wide vector units busy; the widest the processor has is used.
void ResonatePair(const TResonatorBank& bank, const float* x0, const float* x1, std::size_t count,
                  std::array<float, BinCount>& energy0, std::array<float, BinCount>& energy1);

enum class TKernelWidth { kwBase, kwAvx2, kwAvx512 };
bool KernelSupported(TKernelWidth width);
// ResonatePair with the vectors of the width given, which must be supported.
void ResonatePairWith(TKernelWidth width, const TResonatorBank& bank, const float* x0,
                      const float* x1, std::size_t count, std::array<float, BinCount>& energy0,
                      std::array<float, BinCount>& energy1);

// The same energies, one bin after another over the whole block.
void ResonateOneBinAtATime(const TResonatorBank& bank, const float* x, std::size_t count,
                           std::array<float, BinCount>& energy);

} // namespace analyser
