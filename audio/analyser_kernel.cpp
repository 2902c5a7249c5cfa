// Built with -ffp-contract=off: a fused multiply-add would round differently
// from the one-bin loop, and the two must give the same pixels.
#include "audio/analyser_kernel.h"

#include "audio/tone_table.h"

namespace analyser {
namespace {

typedef float TLanes __attribute__((vector_size(32)));
constexpr int LanesPerVector = 8;
constexpr int VectorCount = LaneCount / LanesPerVector;

} // namespace

TResonatorBank MakeResonatorBank(int sampleRate) {
  TResonatorBank bank;
  for (int j = 0; j < BinCount; ++j) {
    const float w = 6.28318f * player::ToneFrequencies[18 + j];
    bank.Coefficients[j] = w * w;
  }
  bank.Dt = 1.0f / static_cast<float>(sampleRate);
  return bank;
}

__attribute__((target_clones("avx2", "default"))) void
Resonate(const TResonatorBank& bank, const float* x, std::size_t count,
         std::array<float, BinCount>& energy) {
  TLanes c[VectorCount], p[VectorCount] = {}, v[VectorCount] = {}, e[VectorCount] = {};
  for (int i = 0; i < VectorCount; ++i)
    for (int lane = 0; lane < LanesPerVector; ++lane)
      c[i][lane] = bank.Coefficients[i * LanesPerVector + lane];
  const TLanes dt = TLanes{} + bank.Dt;
  for (std::size_t k = 0; k < count; ++k) {
    const TLanes xk = TLanes{} + x[k];
    for (int i = 0; i < VectorCount; ++i) {
      const TLanes a = xk - c[i] * p[i];
      v[i] = v[i] + a * dt;
      p[i] = p[i] + v[i] * dt;
      e[i] = e[i] + v[i] * v[i] + c[i] * p[i] * p[i];
    }
  }
  for (int j = 0; j < BinCount; ++j)
    energy[j] = e[j / LanesPerVector][j % LanesPerVector];
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
