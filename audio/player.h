#pragma once
// The player: music and a syllable tone mixed in 50 ms buffers of 16-bit stereo
// at 44100 Hz, in integer fixed point (gains out of 4096, tone position 16.16,
// music position 48.16).
#include "audio/audio_output.h"
#include "audio/pcm_music.h"
#include "song/song_model.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace player {

constexpr int MaxBufferFrames = 4096;
constexpr std::int32_t NoTone = -100;
// The tone values that sound; tone value 0 is C4.
constexpr std::int32_t LowestTone = -15;
constexpr std::int32_t HighestTone = 40;
constexpr double SlowestSpeed = 0.5;

class TSlowedMusic;

enum TPlayerState : std::uint8_t { psStarting = 0, psPlaying = 1, psFinished = 3 };

// What the player needs of the song, published whole by the GUI thread after
// every change and never modified afterwards.
struct TPlayerSong {
  std::vector<songData::TNote> Notes;
  double BPM = 125.0;
  double MusicOffset = 0.0;
  std::int32_t Transpose = 0;
};

// Written by the GUI thread (the operations below) and the player thread (the
// fill loop); read by both. Every field either thread may touch is atomic.
struct TPlayer {
  TPlayer();
  ~TPlayer(); // ends the thread if ShutdownPlayer was not called
  TPlayer(const TPlayer&) = delete;
  TPlayer& operator=(const TPlayer&) = delete;

  // The music being played, held until StopMusic: the GUI thread sets and
  // clears it under MusicLock, which the fill loop holds while it reads the
  // samples. The player's own reference keeps it alive whatever its giver drops.
  // Null with MusicFrames above 0 plays silence.
  std::mutex MusicLock;
  std::shared_ptr<const songData::TPcmMusic> Music; // under MusicLock
  std::atomic<bool> Stereo{false};
  std::atomic<std::int32_t> MusicRate{0};
  std::atomic<std::int32_t> MusicFrames{0};
  std::atomic<std::int64_t> MusicPos{0};  // 48.16 music frames
  std::atomic<std::int64_t> MusicStep{0}; // 48.16 music frames per output frame
  std::atomic<std::uint32_t> MusicVolume{0};
  std::atomic<std::uint32_t> MusicVolumeTarget{0};
  std::atomic<std::uint32_t> MusicSession{0}; // counts PlayMusic calls
  std::atomic<std::int64_t> StartPos{0};      // 48.16, where PlayMusic started

  // The playback speed the GUI thread asks for, and the one the last buffer
  // was mixed at (written by the filling side).
  std::atomic<double> Speed{1.0};
  std::atomic<double> MixedSpeed{1.0};
  std::unique_ptr<TSlowedMusic> Slowed; // filling side only, made there

  std::vector<std::int16_t> ToneSample;   // set before the thread starts
  std::uint32_t ToneLength = 0;           // samples x 65536
  std::atomic<std::uint32_t> TonePos{0};  // 16.16, never reset
  std::atomic<std::uint32_t> ToneStep{0}; // 16.16
  std::atomic<std::uint32_t> ToneVolume{0};
  std::atomic<std::uint32_t> ToneVolumeTarget{0};
  std::atomic<std::int32_t> ToneMix{0};

  std::atomic<std::int64_t> NextEventPos{0};
  std::atomic<std::int32_t> PendingTone{0};
  std::atomic<std::int32_t> CurrentTone{NoTone};

  // The song snapshot, swapped under SongLock.
  std::mutex SongLock;
  std::shared_ptr<const TPlayerSong> Song = std::make_shared<const TPlayerSong>();

  std::int32_t BufferFrames = 0; // set before the thread starts
  std::int32_t FillCount = 0;    // filling side only
  std::int32_t LastFill = -1;    // filling side only
  std::array<std::array<std::int16_t, 2 * MaxBufferFrames>, 2> Buffers{};

  std::unique_ptr<TAudioOutput> Output;
  std::thread Thread;
  std::atomic<bool> TerminateRequested{false};
  std::atomic<bool> PlayerFinished{false};

  // Failures of the player thread, waiting for the GUI thread to show them.
  std::mutex FailureLock;
  std::vector<std::string> Failures;
};

extern TPlayer Player;

// Publishes the notes of one voice, the tempo, offset and transpose for the
// player: one tone sounds at a time, so a duet is played one singer at a time.
void PublishPlayerSong(TPlayer& player, const songData::TSong& song,
                       std::uint8_t voice = songData::FirstVoice);

// "sample.pcm" in the current folder, else where the program keeps what it ships.
std::string ToneSamplePath();
// Reads the raw 16-bit mono tone sample; throws the file error when unreadable
// and EError when it holds no sample. Longer samples are cut to 65535.
void LoadToneSample(TPlayer& player, const std::string& path);

// Loads the tone sample, sets the tone mix to 4096 and the buffer size, for
// mixing on the calling thread.
void PreparePlayer(TPlayer& player, std::int32_t bufferFrames);
// PreparePlayer, then starts the player thread on the output (the sound device
// when none is given).
void InitPlayer(TPlayer& player, std::int32_t bufferFrames,
                std::unique_ptr<TAudioOutput> output = nullptr);
// Stops the thread and waits for it; safe when it has already ended.
void ShutdownPlayer(TPlayer& player);

// Tones -15 .. 40 sound; any other acts as StopTone.
void StartTone(TPlayer& player, std::int32_t tone, bool interactive);
void StopTone(TPlayer& player);
void SetToneMix(TPlayer& player, std::int32_t percent);
std::int32_t SetMusicVolume(TPlayer& player, std::int32_t percent);

// Ignored while music or silence is set, and for null or empty music. The
// player holds the music until StopMusic.
void PlayMusic(TPlayer& player, std::shared_ptr<const songData::TPcmMusic> music,
               float startSeconds);
// Silence of that length played as music, so that a song without music sounds
// its tones; ignored while music or silence is set.
void PlaySilence(TPlayer& player, double seconds, float startSeconds);
// Once it returns the player no longer reads the music and has let it go.
void StopMusic(TPlayer& player);
TPlayerState PlayerState(const TPlayer& player);
// Music seconds of the music being mixed; -1 without music.
float PlayPositionSeconds(const TPlayer& player);
// Music seconds of what the listener hears now: the mixing position less the
// audio queued on the player's output and extraLatencySeconds, both taken at
// the speed of the music; never before where playback started. -1 without music.
float HeardPositionSeconds(const TPlayer& player, double extraLatencySeconds);

// The music plays slowed at its own pitch below 1; the tones keep theirs and
// the note events follow the slowed music. Any thread, also during playback;
// the speed is kept within [SlowestSpeed, 1].
void SetPlaybackSpeed(TPlayer& player, double speed);
double PlaybackSpeed(const TPlayer& player);

// Finds the next note start or end after the music position and schedules it.
void FindNextNoteEvent(TPlayer& player);
// Sounds the note that the music position lies in, from its start up to its end
// event, since the event search only looks after the position.
void StartToneOfNoteAtPosition(TPlayer& player);

// Mixes the next buffer and hands it to the output.
void FillBuffer(TPlayer& player, TAudioOutput& output);
// Mixes buffers on the calling thread, as the player thread would.
void RenderBuffers(TPlayer& player, TAudioOutput& output, int count);

// The failures the player thread met since the last call (GUI thread).
std::vector<std::string> TakePlayerFailures(TPlayer& player);
// Shows each of them in an error box (GUI thread).
void ShowPlayerFailures(TPlayer& player);

// The program-wide player.
void InitPlayer(std::int32_t bufferFrames);
void ShutdownPlayer();
void StartTone(std::int32_t tone, bool interactive);
void StopTone();

} // namespace player
