#include "audio/player.h"

#include "audio/tone_table.h"
#include "support/exceptions.h"
#include "support/file_io.h"
#include "support/message_boxes.h"
#include "support/program_files.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

namespace player {

TPlayer Player;

namespace {

constexpr std::size_t MaxToneSamples = 65535; // ToneLength stays within 32 bits

std::int64_t Nearest(double x) {
  return static_cast<std::int64_t>(std::nearbyint(x));
}

} // namespace

void PublishPlayerSong(TPlayer& player, const songData::TSong& song, std::uint8_t voice) {
  std::vector<songData::TNote> notes;
  notes.reserve(song.Notes.size());
  std::copy_if(song.Notes.begin(), song.Notes.end(), std::back_inserter(notes),
               [voice](const songData::TNote& note) { return note.Voice == voice; });
  auto snapshot = std::make_shared<const TPlayerSong>(
      TPlayerSong{std::move(notes), song.BPM, song.MusicOffset, song.Transpose});
  std::lock_guard<std::mutex> guard(player.SongLock);
  player.Song.swap(snapshot);
}

std::string ToneSamplePath() {
  const std::string name = "sample.pcm";
  if (MyServis::RegularFileExists(name)) return name;
  return MyServis::ShippedFile(name);
}

void LoadToneSample(TPlayer& player, const std::string& path) {
  const std::string bytes = MyServis::ReadFileBytes(path);
  std::size_t count = std::min(bytes.size() / 2, MaxToneSamples);
  if (count == 0) throw MyServis::EError("The tone sample " + path + " holds no samples");
  player.ToneSample.resize(count);
  for (std::size_t i = 0; i < count; ++i)
    player.ToneSample[i] =
        static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                  (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
  player.ToneLength = static_cast<std::uint32_t>(count) << 16;
}

void StartTone(TPlayer& player, std::int32_t tone, bool interactive) {
  if (tone < LowestTone || tone > HighestTone) {
    StopTone(player);
    return;
  }
  player.CurrentTone = tone;
  player.ToneVolumeTarget = interactive ? 2048u : static_cast<std::uint32_t>(player.ToneMix.load());
  player.ToneStep = static_cast<std::uint32_t>(
      Nearest(static_cast<double>(ToneFrequencyOf(tone + 12)) * 65536.0 / 220.13));
}

void StopTone(TPlayer& player) {
  player.CurrentTone = NoTone;
  player.ToneVolumeTarget = 0;
}

void SetToneMix(TPlayer& player, std::int32_t percent) {
  player.ToneMix = std::clamp(percent, 0, 100) * 4096 / 100;
}

std::int32_t SetMusicVolume(TPlayer& player, std::int32_t percent) {
  auto target = static_cast<std::int32_t>(Nearest(std::clamp(percent, 0, 100) * 40.96));
  player.MusicVolumeTarget = static_cast<std::uint32_t>(target);
  return target;
}

namespace {

// Whether music or silence is set; the caller holds MusicLock.
bool MusicSet(const TPlayer& player) {
  return player.MusicStep != 0;
}

// Playback of frames at their rate from startSeconds; the caller holds MusicLock.
void StartPlayback(TPlayer& player, std::int32_t musicRate, std::size_t frames, bool stereo,
                   float startSeconds) {
  const double rate = musicRate;
  player.Stereo = stereo;
  player.MusicRate = musicRate;
  player.MusicStep = Nearest(rate / OutputRate * 65536.0);
  player.MusicFrames = static_cast<std::int32_t>(
      std::min<std::size_t>(frames, std::numeric_limits<std::int32_t>::max()));
  // A start before the music (or not a number) is its first frame; one past it is its end.
  const double startFrame =
      startSeconds > 0 ? std::min(rate * startSeconds, double(player.MusicFrames)) : 0.0;
  player.MusicPos = Nearest(startFrame) * 65536;
  player.StartPos = player.MusicPos.load();
  player.MusicSession += 1;
  StartToneOfNoteAtPosition(player);
  FindNextNoteEvent(player);
}

} // namespace

void PlayMusic(TPlayer& player, std::shared_ptr<const songData::TPcmMusic> music,
               float startSeconds) {
  std::lock_guard<std::mutex> guard(player.MusicLock);
  if (MusicSet(player)) return;
  if (!music || music->Samples.empty() || music->SampleRate <= 0) return;
  player.Music = std::move(music);
  StartPlayback(player, player.Music->SampleRate, songData::Frames(*player.Music),
                player.Music->Stereo, startSeconds);
}

void PlaySilence(TPlayer& player, double seconds, float startSeconds) {
  std::lock_guard<std::mutex> guard(player.MusicLock);
  if (MusicSet(player) || !(seconds > 0)) return;
  const double frames =
      std::min(seconds * OutputRate, double(std::numeric_limits<std::int32_t>::max()));
  StartPlayback(player, OutputRate, static_cast<std::size_t>(frames), false, startSeconds);
}

void StopMusic(TPlayer& player) {
  // Freed, when it was the last reference, after the fill loop may go on.
  std::shared_ptr<const songData::TPcmMusic> released;
  {
    std::lock_guard<std::mutex> guard(player.MusicLock);
    player.MusicFrames = 0;
    player.MusicStep = 0;
    released = std::move(player.Music);
  }
}

TPlayerState PlayerState(const TPlayer& player) {
  const std::int64_t pos = player.MusicPos;
  const auto frame = static_cast<std::int32_t>(pos >> 16);
  TPlayerState state = psStarting;
  if (pos > 0) state = psPlaying;
  if (frame >= player.MusicFrames - 2) state = psFinished;
  return state;
}

namespace {

// The music's own rate as the step gives it; 0 without music.
std::int64_t MusicRateOfStep(const TPlayer& player) {
  if (player.MusicFrames == 0) return 0;
  return std::max<std::int64_t>(
      Nearest(static_cast<double>(player.MusicStep) * OutputRate / 65536.0), 0);
}

} // namespace

float PlayPositionSeconds(const TPlayer& player) {
  const std::int64_t rate = MusicRateOfStep(player);
  if (rate == 0) return -1.0f;
  const auto frame = static_cast<std::int32_t>(player.MusicPos >> 16);
  return static_cast<float>(static_cast<double>(frame) / static_cast<double>(rate));
}

float HeardPositionSeconds(const TPlayer& player, double extraLatencySeconds) {
  const std::int64_t rate = MusicRateOfStep(player);
  if (rate == 0) return -1.0f;
  const auto frame = static_cast<std::int32_t>(player.MusicPos >> 16);
  const auto start = static_cast<std::int32_t>(player.StartPos >> 16);
  double latency = player.Output ? player.Output->QueuedSeconds() : 0.0;
  if (std::isfinite(extraLatencySeconds)) latency += extraLatencySeconds;
  const double seconds = static_cast<double>(frame) / static_cast<double>(rate) -
                         std::max(latency, 0.0) * player.MixedSpeed;
  return static_cast<float>(std::max(seconds, static_cast<double>(start) / rate));
}

void SetPlaybackSpeed(TPlayer& player, double speed) {
  player.Speed = std::isnan(speed) ? 1.0 : std::clamp(speed, SlowestSpeed, 1.0);
}

double PlaybackSpeed(const TPlayer& player) {
  return player.Speed;
}

std::vector<std::string> TakePlayerFailures(TPlayer& player) {
  std::lock_guard<std::mutex> guard(player.FailureLock);
  return std::exchange(player.Failures, {});
}

void ShowPlayerFailures(TPlayer& player) {
  for (const std::string& message : TakePlayerFailures(player))
    MyServis::ErrorBox(message);
}

void StartTone(std::int32_t tone, bool interactive) {
  StartTone(Player, tone, interactive);
}
void StopTone() {
  StopTone(Player);
}

} // namespace player
