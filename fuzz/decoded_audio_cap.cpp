#include "decoded_audio_cap.h"

extern "C" {
#include <libavutil/error.h>
#include <libswresample/swresample.h>

int __real_swr_convert(SwrContext* s, std::uint8_t** out, int outCount, const std::uint8_t** in,
                       int inCount);
int __wrap_swr_convert(SwrContext* s, std::uint8_t** out, int outCount, const std::uint8_t** in,
                       int inCount);
}

namespace {

std::int64_t budget = 0;

} // namespace

void SetDecodedAudioBudget(std::int64_t frames) {
  budget = frames;
}

int __wrap_swr_convert(SwrContext* s, std::uint8_t** out, int outCount, const std::uint8_t** in,
                       int inCount) {
  if (budget < 0) return AVERROR(ENOMEM);
  const int made = __real_swr_convert(s, out, outCount, in, inCount);
  if (made > 0) budget -= made;
  return made;
}
