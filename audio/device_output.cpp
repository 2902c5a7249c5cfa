#include "audio/audio_output.h"
#include "support/exceptions.h"
#include "support/log.h"

#include <SDL.h>
#include <atomic>
#include <mutex>
#include <thread>

namespace player {
namespace {

// SDL's queue stands for the device's two buffers: a buffer has played when
// no more than one buffer's worth is left in it. The player thread opens,
// writes and closes; the queue may be asked from any thread, under lock_.
class TSdlOutput : public TAudioOutput {
public:
  void Open(int bufferFrames) override {
    // SDL would turn SIGINT and SIGTERM into events nobody reads, and the
    // program could no longer be stopped by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
      throw MyServis::EError(std::string("Can't open sound device: ") + SDL_GetError());
    SDL_AudioSpec want{};
    want.freq = OutputRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(bufferFrames);
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
      std::string reason = SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      throw MyServis::EError("Can't open sound device: " + reason);
    }
    {
      std::lock_guard<std::mutex> guard(lock_);
      device_ = device;
      // The chunk the device has taken from the queue still lies ahead too.
      deviceSeconds_ = static_cast<double>(have.samples) / (have.freq > 0 ? have.freq : OutputRate);
    }
    bufferBytes_ = static_cast<Uint32>(bufferFrames) * 4;
    SDL_PauseAudioDevice(device_, 0);
  }
  void Write(const std::int16_t* frames, int frameCount) override {
    if (SDL_QueueAudio(device_, frames, static_cast<Uint32>(frameCount) * 4) != 0)
      throw MyServis::EError(std::string("WOW error: ") + SDL_GetError());
  }
  bool WaitBufferDone(std::chrono::milliseconds timeout) override {
    auto limit = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < limit) {
      if (SDL_GetQueuedAudioSize(device_) <= bufferBytes_) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  void Close() override {
    if (device_ == 0) return;
    std::lock_guard<std::mutex> guard(lock_);
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
  }
  double QueuedSeconds() const override {
    std::lock_guard<std::mutex> guard(lock_);
    if (device_ == 0) return 0.0;
    return static_cast<double>(SDL_GetQueuedAudioSize(device_)) / 4 / OutputRate + deviceSeconds_;
  }

private:
  mutable std::mutex lock_;
  SDL_AudioDeviceID device_ = 0; // written under lock_ by the player thread
  double deviceSeconds_ = 0.0;
  Uint32 bufferBytes_ = 0;
};

// The player thread opens and closes; the queue may be asked from any thread,
// so the output in use is swapped under lock_.
class TDeviceOutput : public TAudioOutput {
public:
  void Open(int bufferFrames) override {
    try {
      auto sdl = std::make_unique<TSdlOutput>();
      sdl->Open(bufferFrames);
      std::lock_guard<std::mutex> guard(lock_);
      active_ = std::move(sdl);
    } catch (const std::exception&) {
      try {
        MyServis::LogMessage("No sound device: playing silently");
      } catch (const std::exception&) {
        // Without a log the program still plays silently.
      }
      std::unique_ptr<TAudioOutput> null = MakeNullOutput();
      null->Open(bufferFrames);
      std::lock_guard<std::mutex> guard(lock_);
      active_ = std::move(null);
      silent_ = true;
    }
  }
  void Write(const std::int16_t* frames, int frameCount) override {
    active_->Write(frames, frameCount);
  }
  bool WaitBufferDone(std::chrono::milliseconds timeout) override {
    return active_->WaitBufferDone(timeout);
  }
  void Close() override {
    if (active_) active_->Close();
  }
  bool IsSilent() const override { return silent_; }
  double QueuedSeconds() const override {
    std::lock_guard<std::mutex> guard(lock_);
    return active_ ? active_->QueuedSeconds() : 0.0;
  }

private:
  mutable std::mutex lock_;
  std::unique_ptr<TAudioOutput> active_;
  std::atomic<bool> silent_{false};
};

} // namespace

std::unique_ptr<TAudioOutput> MakeDeviceOutput() {
  return std::make_unique<TDeviceOutput>();
}

} // namespace player
