#pragma once
// The 73 tone frequencies shared by the player and the analyser. Filled before
// main() and never written again, so every thread may read it.
#include <array>

namespace player {

constexpr int ToneFrequencyCount = 73;

// Entry k = 523.25 Hz x 2^((k - 36) / 12): entry 24 is C4.
extern const std::array<float, ToneFrequencyCount> ToneFrequencies;

// The table's entry, or the same formula for entries beyond it.
float ToneFrequencyOf(int entry);

} // namespace player
