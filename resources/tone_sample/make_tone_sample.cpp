// Writes the player's tone sample: raw little-endian 16-bit mono at 44100 Hz,
// fundamental 440.26 Hz (so every tone sounds at the pitch the view shows),
// a few soft harmonics, a whole number of periods so that it loops without a
// click, and its peak near a third of full scale.
#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_tone_sample OUT\n");
    return 2;
  }
  const double rate = 44100.0, fundamental = 440.26;
  // The player keeps the length x 65536 in 32 bits: at most 65535 samples.
  int bestPeriods = 1;
  long bestLength = std::lround(rate / fundamental);
  for (int periods = 1; periods * rate / fundamental < 65535.0; ++periods) {
    long length = std::lround(periods * rate / fundamental);
    if (std::fabs(periods * rate / length - fundamental) <
        std::fabs(bestPeriods * rate / bestLength - fundamental)) {
      bestPeriods = periods;
      bestLength = length;
    }
  }
  const double harmonics[] = {1.0, 0.4, 0.2, 0.1, 0.05};
  std::vector<double> wave(static_cast<std::size_t>(bestLength));
  double peak = 0.0;
  for (long i = 0; i < bestLength; ++i) {
    double phase = 2.0 * M_PI * bestPeriods * static_cast<double>(i) / bestLength;
    double value = 0.0;
    for (int h = 0; h < 5; ++h)
      value += harmonics[h] * std::sin((h + 1) * phase);
    wave[i] = value;
    peak = std::fmax(peak, std::fabs(value));
  }
  std::vector<unsigned char> bytes;
  for (double value : wave) {
    long sample = std::lround(value / peak * 32767.0 / 3.0);
    bytes.push_back(static_cast<unsigned char>(sample & 0xFF));
    bytes.push_back(static_cast<unsigned char>((sample >> 8) & 0xFF));
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
      std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
