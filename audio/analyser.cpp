#include "audio/analyser.h"

#include <algorithm>
#include <cmath>
#include <sys/resource.h>
#include <unistd.h>

namespace analyser {

TAnalyser Analyser;

namespace {

const char* const ProgressEvent = "MAIN\\Analyser";

std::uint32_t Channel(float x, int most) {
  const float rounded = std::nearbyint(x);
  return rounded < static_cast<float>(most) ? static_cast<std::uint32_t>(rounded)
                                            : static_cast<std::uint32_t>(most);
}

// Keeps AnalyserRunning right however the thread leaves.
class TRunningCount {
public:
  explicit TRunningCount(std::atomic<std::int32_t>& count) : count_(count) { ++count_; }
  ~TRunningCount() { --count_; }
  TRunningCount(const TRunningCount&) = delete;
  TRunningCount& operator=(const TRunningCount&) = delete;

private:
  std::atomic<std::int32_t>& count_;
};

void AnalyseShare(TAnalyser& analyser, int thread) {
  TRunningCount running(analyser.AnalyserRunning);
  // One step below normal, so that drawing and playback come first.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), getpriority(PRIO_PROCESS, 0) + 1);
  const songData::TPcmMusic& music = *analyser.Music;
  const int blocks = BlockCount(music);
  const int blockFrames = BlockFrames(music);
  const TResonatorBank bank = MakeResonatorBank(music.SampleRate);
  const int strips = static_cast<int>(analyser.SpectrumStrips.size());
  std::vector<float> x0, x1;
  std::array<float, BinCount> energy0, energy1;
  // Blocks go in pairs, which never straddle a strip since strips are 256 wide.
  for (int b = 0; b < blocks; b += 2) {
    const int s = b / StripWidth;
    if (s % AnalyserThreads != thread || s >= strips) continue;
    const bool pair = b + 1 < blocks;
    MonoBlock(music, b, x0);
    MonoBlock(music, pair ? b + 1 : b, x1);
    if (x0.size() == x1.size()) {
      ResonatePair(bank, x0.data(), x1.data(), x0.size(), energy0, energy1);
    } else {
      ResonatePair(bank, x0.data(), x0.data(), x0.size(), energy0, energy0);
      ResonatePair(bank, x1.data(), x1.data(), x1.size(), energy1, energy1);
    }
    for (int i = 0; i < (pair ? 2 : 1); ++i) {
      DrawColumn(analyser.SpectrumStrips[s], (b + i) % StripWidth, i == 0 ? energy0 : energy1,
                 blockFrames);
      const std::int32_t done = ++analyser.AnalysedBlocks;
      if ((b + i) % 64 == 0)
        EventMan::PostEvent(*analyser.Events, ProgressEvent,
                            static_cast<std::int32_t>(std::nearbyint(double(done) / blocks * 100)));
    }
    if (analyser.AnalyserStopRequested) return;
  }
  EventMan::PostEvent(*analyser.Events, ProgressEvent, 100);
}

void JoinAll(TAnalyser& analyser) {
  for (std::thread& thread : analyser.Threads)
    if (thread.joinable()) thread.join();
  analyser.Threads.clear();
  analyser.Music.reset();
}

} // namespace

void CreateSpectrumStrips(TAnalyser& analyser, const songData::TPcmMusic& music) {
  const auto count =
      static_cast<std::size_t>(std::nearbyint(songData::MusicDuration(music) / 8.0f)) + 1;
  analyser.SpectrumStrips.assign(count, TSpectrumStrip{});
  for (TSpectrumStrip& strip : analyser.SpectrumStrips)
    strip.Pixels.fill(StripBackground);
}

void StartAnalysers(TAnalyser& analyser, std::shared_ptr<const songData::TPcmMusic> music,
                    EventMan::TEventManager& events) {
  StopAnalysers(analyser);
  analyser.AnalyserRunning = 0;
  analyser.AnalysedBlocks = 0;
  analyser.AnalyserStopRequested = false;
  analyser.Music = std::move(music);
  if (!analyser.Music) return;
  analyser.Events = &events;
  for (int n = 0; n < AnalyserThreads; ++n)
    analyser.Threads.emplace_back([&analyser, n] { AnalyseShare(analyser, n); });
}

void StopAnalysers(TAnalyser& analyser) {
  analyser.AnalyserStopRequested = true;
  JoinAll(analyser);
}

void WaitForAnalysers(TAnalyser& analyser) {
  JoinAll(analyser);
}

int BlockCount(const songData::TPcmMusic& music) {
  return static_cast<int>(std::nearbyint(songData::MusicDuration(music) * 32.0f)) - 2;
}

int BlockFrames(const songData::TPcmMusic& music) {
  return music.SampleRate / 32;
}

void MonoBlock(const songData::TPcmMusic& music, int block, std::vector<float>& x) {
  const std::size_t frames = static_cast<std::size_t>(BlockFrames(music));
  const std::size_t first = static_cast<std::size_t>(block) * frames;
  const std::size_t count =
      std::min(frames, songData::Frames(music) - std::min(first, songData::Frames(music)));
  x.resize(count);
  const std::int16_t* s = music.Samples.data();
  if (music.Stereo) {
    for (std::size_t k = 0; k < count; ++k)
      x[k] = static_cast<float>(std::int32_t(s[2 * (first + k)]) + s[2 * (first + k) + 1]);
  } else {
    for (std::size_t k = 0; k < count; ++k)
      x[k] = s[first + k];
  }
}

void DrawColumn(TSpectrumStrip& strip, int column, const std::array<float, BinCount>& energy,
                int blockFrames) {
  for (int j = 0; j < BinCount; ++j) {
    const float weight = static_cast<float>(j + 30) / 40.0f;
    const float e = weight * energy[j] / static_cast<float>(blockFrames);
    const std::uint32_t red = Channel(0.03f * e, 220);
    const std::uint32_t green = Channel(0.01f * e, 220);
    const std::uint32_t blue = Channel(0.004f * e, 160);
    std::uint32_t& pixel = strip.Pixels[(BinCount - 1 - j) * StripWidth + column];
    // The GUI thread may read the strip while it fills.
    std::atomic_ref<std::uint32_t>(pixel).store(red * 65536 + green * 256 + blue + StripBackground,
                                                std::memory_order_relaxed);
  }
}

void AnalyseOneBinAtATime(const songData::TPcmMusic& music, std::vector<TSpectrumStrip>& strips) {
  const int blocks = BlockCount(music);
  const int blockFrames = BlockFrames(music);
  const TResonatorBank bank = MakeResonatorBank(music.SampleRate);
  std::vector<float> x;
  std::array<float, BinCount> energy;
  for (int b = 0; b < blocks && b / StripWidth < static_cast<int>(strips.size()); ++b) {
    MonoBlock(music, b, x);
    ResonateOneBinAtATime(bank, x.data(), x.size(), energy);
    DrawColumn(strips[b / StripWidth], b % StripWidth, energy, blockFrames);
  }
}

} // namespace analyser
