#include "audio/music_length_limit.h"

#include "support/exceptions.h"
#include "support/number_text.h"

#include <algorithm>
#include <cmath>

namespace MusicLoader {
namespace {

std::string Count(double value, const std::string& unit) {
  return MyServis::FormatShortest(value) + " " + unit + (value == 1 ? "" : "s");
}

// "3 hours", "90 minutes", "1 second": as the limit reads best.
std::string DurationText(double seconds) {
  if (seconds >= 3600 && std::fmod(seconds, 3600) == 0) return Count(seconds / 3600, "hour");
  if (seconds >= 60 && std::fmod(seconds, 60) == 0) return Count(seconds / 60, "minute");
  return Count(seconds, "second");
}

} // namespace

std::int64_t MostFrames(double mostSeconds, int rate) {
  return std::max<std::int64_t>(1, static_cast<std::int64_t>(mostSeconds * rate));
}

void RefuseLongMusic(double mostSeconds) {
  throw MyServis::EError("The music is longer than " + DurationText(mostSeconds) +
                         ", the most that can be loaded.");
}

std::string CutMusicNotice(double mostSeconds) {
  return "The music is longer than " + DurationText(mostSeconds) + " and was cut at that length.";
}

} // namespace MusicLoader
