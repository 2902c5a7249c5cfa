#include "audio/singing_fixture.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace audiotest {
namespace {

constexpr double C4 = 261.6255653005986;
constexpr double VibratoHz = 5.5;
constexpr double VibratoSemitones = 0.3;

double FrequencyOf(double tone) {
  return C4 * std::pow(2.0, tone / 12.0);
}

} // namespace

std::vector<TSungFixtureNote> SungMelody(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<TSungFixtureNote> melody;
  double t = 1.0;
  for (int i = 0; i < count; ++i) {
    const double length = 0.3 + 0.3 * double(random() % 100) / 100.0;
    melody.push_back({t, t + length, static_cast<std::int32_t>(random() % 25) - 12});
    t += length + 0.1;
  }
  return melody;
}

std::vector<float> SingMelody(const std::vector<TSungFixtureNote>& melody, int rate,
                              unsigned seed) {
  const double length = melody.empty() ? 1.0 : melody.back().End + 1.0;
  std::vector<float> x(static_cast<std::size_t>(length * rate));
  std::mt19937 random(seed);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (const TSungFixtureNote& note : melody) {
    const double f0 = FrequencyOf(note.Tone);
    double phase = 0.0;
    const auto first = static_cast<std::size_t>(note.Start * rate);
    const auto last = std::min(x.size(), static_cast<std::size_t>(note.End * rate));
    for (std::size_t i = first; i < last; ++i) {
      const double t = double(i) / rate - note.Start;
      const double vibrato =
          std::pow(2.0, VibratoSemitones * std::sin(2 * M_PI * VibratoHz * t) / 12.0);
      phase += 2 * M_PI * f0 * vibrato / rate;
      const double envelope =
          std::min(1.0, t / 0.03) * std::min(1.0, (note.End - double(i) / rate) / 0.03);
      // A vowel: the second and third harmonics nearly as strong as the first.
      double v = 0.0;
      for (int k = 1; k <= 8; ++k)
        v += std::sin(k * phase) * (k == 2 || k == 3 ? 0.8 : 1.0 / k);
      x[i] += static_cast<float>(0.25 * envelope * v);
      if (t < 0.05) x[i] += 0.15f * noise(random); // the consonant
    }
  }
  for (float& v : x)
    v += 0.01f * noise(random); // breath
  return x;
}

void AddChords(std::vector<float>& samples, int rate, double decibels, unsigned seed) {
  std::mt19937 random(seed);
  const auto chordFrames = static_cast<std::size_t>(2 * rate);
  std::vector<float> chords(samples.size());
  for (std::size_t start = 0; start < chords.size(); start += chordFrames) {
    const int root = static_cast<int>(random() % 12) - 24;
    for (int interval : {0, 4, 7, 12}) {
      const double f = FrequencyOf(root + interval);
      for (std::size_t i = start; i < std::min(chords.size(), start + chordFrames); ++i) {
        const double phase = 2 * M_PI * f * double(i) / rate;
        double v = 0.0;
        for (int k = 1; k <= 6; ++k)
          v += std::sin(k * phase) / k;
        chords[i] += static_cast<float>(v);
      }
    }
  }
  const double gain = std::pow(10.0, (decibels - LevelDb(chords)) / 20.0);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] += static_cast<float>(gain * chords[i]);
}

songData::TPcmMusic MusicOfSamples(const std::vector<float>& samples, int rate) {
  songData::TPcmMusic music;
  music.SampleRate = rate;
  music.Samples.reserve(samples.size());
  for (float v : samples)
    music.Samples.push_back(
        static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f)));
  return music;
}

double LevelDb(const std::vector<float>& samples) {
  double sum = 0.0;
  for (float v : samples)
    sum += double(v) * v;
  const double rms = std::sqrt(sum / double(std::max<std::size_t>(samples.size(), 1)));
  return 20.0 * std::log10(std::max(rms, 1e-12) / std::sqrt(0.5));
}

} // namespace audiotest
