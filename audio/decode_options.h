#pragma once
// What a caller asks of a music decode and what it gets back beside the music.
// The decode may run on any one thread; the progress procedure runs on that thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace MusicLoader {

// Three hours fill about 1.9 GB as 16-bit stereo at 44.1 kHz.
constexpr double MostMusicSeconds = 3 * 60 * 60;

// A music file is read whole before decoding; larger ones are refused.
constexpr std::uint64_t MostMusicFileBytes = std::uint64_t(2) << 30;

// The progress procedure runs each time about this much more input is consumed,
// and each time this much more music is decoded, so a small file that holds
// much music can be cancelled as soon as a large one.
constexpr std::size_t ProgressStepBytes = 8192;
constexpr double ProgressStepSeconds = 10;

struct TDecodeOptions {
  // Receives the fraction of the file consumed (0 to 1, never falling), at
  // least once per step; returning false cancels the decode.
  std::function<bool(float)> Progress;
  // Longer music is refused when the file tells its length, and cut here otherwise.
  double MostSeconds = MostMusicSeconds;
};

struct TDecodeOutcome {
  // The progress procedure cancelled: the music is left as it was.
  bool Cancelled = false;
  // For the user when the music was cut at its most length; empty when it is whole.
  std::string Notice;
};

} // namespace MusicLoader
