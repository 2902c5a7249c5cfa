// Built with -ffp-contract=off: a fused multiply-add would round differently
// from the one-bin loop, and the two must give the same pixels. The wide
// versions are chosen at run time, so the program's baseline stays as it is.
#include "audio/analyser_kernel.h"

#include "audio/tone_table.h"

namespace analyser {
namespace {

// Blocks advanced together, each with its own resonators in Vectors vectors
// of Width lanes. Subtracting +0 broadcasts a value and keeps it, -0 included.
template <int Width, int Vectors, int Blocks>
__attribute__((always_inline)) inline void
ResonateLanes(const TResonatorBank& bank, const float* const (&x)[Blocks], std::size_t count,
              std::array<float, BinCount>* const (&energy)[Blocks]) {
  typedef float TLanes __attribute__((vector_size(4 * Width)));
  static_assert(Width * Vectors >= BinCount && Width * Vectors <= LaneCount);
  TLanes c[Vectors], p[Blocks][Vectors] = {}, v[Blocks][Vectors] = {}, e[Blocks][Vectors] = {};
  for (int i = 0; i < Vectors; ++i)
    for (int lane = 0; lane < Width; ++lane)
      c[i][lane] = bank.Coefficients[i * Width + lane];
  const TLanes dt = bank.Dt - TLanes{};
  for (std::size_t k = 0; k < count; ++k) {
#pragma GCC unroll 2
    for (int b = 0; b < Blocks; ++b) {
      const TLanes xk = x[b][k] - TLanes{};
#pragma GCC unroll 8
      for (int i = 0; i < Vectors; ++i) {
        const TLanes a = xk - c[i] * p[b][i];
        v[b][i] = v[b][i] + a * dt;
        p[b][i] = p[b][i] + v[b][i] * dt;
        e[b][i] = e[b][i] + v[b][i] * v[b][i] + c[i] * p[b][i] * p[b][i];
      }
    }
  }
  for (int b = 0; b < Blocks; ++b)
    for (int j = 0; j < BinCount; ++j)
      (*energy[b])[j] = e[b][j / Width][j % Width];
}

using TPairKernel = void (*)(const TResonatorBank&, const float*, const float*, std::size_t,
                             std::array<float, BinCount>&, std::array<float, BinCount>&);
__attribute__((target("avx512f"))) void PairAvx512(const TResonatorBank& bank, const float* x0,
                                                   const float* x1, std::size_t count,
                                                   std::array<float, BinCount>& e0,
                                                   std::array<float, BinCount>& e1) {
  ResonateLanes<16, 3, 2>(bank, {x0, x1}, count, {&e0, &e1});
}

__attribute__((target("avx2"))) void PairAvx2(const TResonatorBank& bank, const float* x0,
                                              const float* x1, std::size_t count,
                                              std::array<float, BinCount>& e0,
                                              std::array<float, BinCount>& e1) {
  ResonateLanes<8, 5, 1>(bank, {x0}, count, {&e0});
  ResonateLanes<8, 5, 1>(bank, {x1}, count, {&e1});
}

void PairBase(const TResonatorBank& bank, const float* x0, const float* x1, std::size_t count,
              std::array<float, BinCount>& e0, std::array<float, BinCount>& e1) {
  ResonateLanes<4, 9, 1>(bank, {x0}, count, {&e0});
  ResonateLanes<4, 9, 1>(bank, {x1}, count, {&e1});
}

TPairKernel Kernel(TKernelWidth width) {
  switch (width) {
  case TKernelWidth::kwAvx512:
    return PairAvx512;
  case TKernelWidth::kwAvx2:
    return PairAvx2;
  default:
    return PairBase;
  }
}

} // namespace

TResonatorBank MakeResonatorBank(int sampleRate) {
  TResonatorBank bank;
  for (int k = 0; k < LaneCount; ++k) {
    const float w = 6.28318f * player::ToneFrequencies[18 + k];
    bank.Coefficients[k] = w * w;
  }
  bank.Dt = 1.0f / static_cast<float>(sampleRate);
  return bank;
}

bool KernelSupported(TKernelWidth width) {
  __builtin_cpu_init();
  switch (width) {
  case TKernelWidth::kwAvx512:
    return __builtin_cpu_supports("avx512f");
  case TKernelWidth::kwAvx2:
    return __builtin_cpu_supports("avx2");
  default:
    return true;
  }
}

void ResonatePairWith(TKernelWidth width, const TResonatorBank& bank, const float* x0,
                      const float* x1, std::size_t count, std::array<float, BinCount>& energy0,
                      std::array<float, BinCount>& energy1) {
  Kernel(width)(bank, x0, x1, count, energy0, energy1);
}

// Chosen once at run time rather than through ifunc resolvers, which run
// before sanitizer runtimes are ready.
void ResonatePair(const TResonatorBank& bank, const float* x0, const float* x1, std::size_t count,
                  std::array<float, BinCount>& energy0, std::array<float, BinCount>& energy1) {
  static const TPairKernel kernel = [] {
    for (TKernelWidth width : {TKernelWidth::kwAvx512, TKernelWidth::kwAvx2})
      if (KernelSupported(width)) return Kernel(width);
    return Kernel(TKernelWidth::kwBase);
  }();
  kernel(bank, x0, x1, count, energy0, energy1);
}

void ResonateOneBinAtATime(const TResonatorBank& bank, const float* x, std::size_t count,
                           std::array<float, BinCount>& energy) {
  const float dt = bank.Dt;
  for (int j = 0; j < BinCount; ++j) {
    const float c = bank.Coefficients[j];
    float p = 0.0f, v = 0.0f, e = 0.0f;
    for (std::size_t k = 0; k < count; ++k) {
      const float a = x[k] - c * p;
      v = v + a * dt;
      p = p + v * dt;
      e = e + v * v + c * p * p;
    }
    energy[j] = e;
  }
}

} // namespace analyser
