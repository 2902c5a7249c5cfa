#pragma once
// The music analyser: three threads turn the music into spectrogram strips of
// 256 columns (one per 1/32 s block) by 36 rows (semitone bins, highest on top).
#include "audio/analyser_kernel.h"
#include "audio/event_manager.h"
#include "audio/pcm_music.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace analyser {

constexpr int StripWidth = 256;
constexpr int StripHeight = BinCount;
constexpr int AnalyserThreads = 3;
constexpr std::uint32_t StripBackground = 0x202020;

// Pixels 0x00RRGGBB, row by row; row r shows bin 35 - r.
struct TSpectrumStrip {
  std::array<std::uint32_t, StripWidth * StripHeight> Pixels;
  std::uint32_t Pixel(int column, int row) const { return Pixels[row * StripWidth + column]; }
};

// Strip s is written only by analyser thread s mod 3; the GUI thread reads the
// strips for drawing while they fill and replaces them only after StopAnalysers.
// The counters and the stop request are shared by all four threads. The GUI
// thread sets Music and Events before the threads start; they only read them.
struct TAnalyser {
  std::vector<TSpectrumStrip> SpectrumStrips;
  std::atomic<bool> AnalyserStopRequested{false};
  std::atomic<std::int32_t> AnalyserRunning{0};
  std::atomic<std::int32_t> AnalysedBlocks{0};
  std::shared_ptr<const songData::TPcmMusic> Music;
  EventMan::TEventManager* Events = nullptr;
  std::vector<std::thread> Threads;
};

extern TAnalyser Analyser;

// nearest(duration / 8) + 1 strips of the background colour.
void CreateSpectrumStrips(TAnalyser& analyser, const songData::TPcmMusic& music);
// Starts the three threads over the music, which the analyser holds until
// StopAnalysers or WaitForAnalysers; progress goes out as "MAIN\Analyser" events with 0..100. Null
// music starts nothing.
void StartAnalysers(TAnalyser& analyser, std::shared_ptr<const songData::TPcmMusic> music,
                    EventMan::TEventManager& events = EventMan::Events);
// Asks the threads to stop and returns once every one has left.
void StopAnalysers(TAnalyser& analyser);
// Returns once every thread has finished its share.
void WaitForAnalysers(TAnalyser& analyser);

// The 1/32 s blocks the music is analysed in, and their frames.
int BlockCount(const songData::TPcmMusic& music);
int BlockFrames(const songData::TPcmMusic& music);
// The mono block: the channels summed without wrapping.
void MonoBlock(const songData::TPcmMusic& music, int block, std::vector<float>& x);
// Colours block b's column from the bins' energies.
void DrawColumn(TSpectrumStrip& strip, int column, const std::array<float, BinCount>& energy,
                int blockFrames);
// Every block on the calling thread with the one-bin loop, as a reference.
void AnalyseOneBinAtATime(const songData::TPcmMusic& music, std::vector<TSpectrumStrip>& strips);

} // namespace analyser
