// The mixer's cost per 50 ms buffer: stereo music at full gain with a tone.
#include "audio/player.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <utility>

namespace {

void BM_MixOneBuffer(benchmark::State& state) {
  player::TPlayer mixer;
  player::PreparePlayer(mixer, 2205);
  songData::TPcmMusic music;
  music.SampleRate = static_cast<std::int32_t>(state.range(0));
  music.Stereo = true;
  music.Samples.assign(2 * 44100 * 60, 1234);
  player::SetMusicVolume(mixer, 60);
  player::PlayMusic(mixer, std::make_shared<const songData::TPcmMusic>(std::move(music)), 0.0f);
  player::StartTone(mixer, 7, false);
  std::unique_ptr<player::TAudioOutput> output = player::MakeNullOutput();
  output->Open(2205);
  for (auto _ : state)
    player::FillBuffer(mixer, *output);
  state.SetItemsProcessed(state.iterations() * 2205);
}
BENCHMARK(BM_MixOneBuffer)->Arg(44100)->Arg(22050)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
