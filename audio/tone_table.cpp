#include "audio/tone_table.h"

#include <cmath>

namespace player {
namespace {

float ToneFormula(int entry) {
  return static_cast<float>(523.25L * std::exp((entry - 36) * 0.69314718L / 12.0L));
}

std::array<float, ToneFrequencyCount> MakeToneFrequencies() {
  std::array<float, ToneFrequencyCount> table{};
  for (int k = 0; k < ToneFrequencyCount; ++k)
    table[k] = ToneFormula(k);
  return table;
}

} // namespace

const std::array<float, ToneFrequencyCount> ToneFrequencies = MakeToneFrequencies();

float ToneFrequencyOf(int entry) {
  if (entry >= 0 && entry < ToneFrequencyCount) return ToneFrequencies[entry];
  return ToneFormula(entry);
}

} // namespace player
