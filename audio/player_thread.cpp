// The player thread: keeps two buffers on the output and fills the next as
// soon as one has played.
#include "audio/player.h"
#include "audio/slowed_music.h"

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace player {
namespace {

constexpr auto WaitTimeout = std::chrono::milliseconds(80);

void HandOver(TPlayer& player, const std::string& message) {
  std::lock_guard<std::mutex> guard(player.FailureLock);
  player.Failures.push_back(message);
}

class TPlayerThread {
public:
  explicit TPlayerThread(TPlayer& player) : player_(player) {}

  void Execute() {
    // One step above normal where the system allows it; it is only a wish.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -1);
    TAudioOutput& output = *player_.Output;
    try {
      output.Open(player_.BufferFrames);
      player_.FillCount = 0;
      player_.LastFill = -1;
      FillBuffer(player_, output);
      FillBuffer(player_, output);
      while (!player_.TerminateRequested)
        if (output.WaitBufferDone(WaitTimeout)) FillBuffer(player_, output);
    } catch (const std::exception& e) {
      HandOver(player_, e.what());
    }
    output.Close();
    player_.PlayerFinished = true;
  }

private:
  TPlayer& player_;
};

} // namespace

void PreparePlayer(TPlayer& player, std::int32_t bufferFrames) {
  LoadToneSample(player, ToneSamplePath());
  player.ToneMix = 4096;
  player.BufferFrames = std::clamp(bufferFrames, 1, MaxBufferFrames);
}

void InitPlayer(TPlayer& player, std::int32_t bufferFrames, std::unique_ptr<TAudioOutput> output) {
  ShutdownPlayer(player); // one thread per player
  PreparePlayer(player, bufferFrames);
  player.Output = output ? std::move(output) : MakeDeviceOutput();
  player.TerminateRequested = false;
  player.PlayerFinished = false;
  player.Thread = std::thread([&player] { TPlayerThread(player).Execute(); });
}

void ShutdownPlayer(TPlayer& player) {
  player.TerminateRequested = true;
  if (player.Thread.joinable()) player.Thread.join();
}

// Out of line, where the slowed music's type is complete.
TPlayer::TPlayer() = default;

TPlayer::~TPlayer() {
  ShutdownPlayer(*this);
}

void InitPlayer(std::int32_t bufferFrames) {
  InitPlayer(Player, bufferFrames);
}
void ShutdownPlayer() {
  ShutdownPlayer(Player);
}

} // namespace player
