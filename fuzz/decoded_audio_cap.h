#pragma once
// A small file may hold hours of music (a tracker module, FLAC frames of one
// constant sample), which is right but would make a fuzz run time out. The
// resampler's output is counted, and once it passes the budget its next call
// fails, so the decode ends through its own error path.
#include <cstdint>

// Frames the decode may produce from here on.
void SetDecodedAudioBudget(std::int64_t frames);
