// The fill loop: note events, the tone, the gain ramps and the music, one
// output frame at a time, in the player's fixed-point arithmetic.
#include "audio/player.h"
#include "audio/slowed_music.h"
#include "support/exceptions.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

constexpr std::int64_t NeverReached = (std::int64_t(1) << 48) - 1;
constexpr std::int64_t EventLead = 100 * 65536;
// Positions beyond this are out of the 48.16 range; such notes never sound.
constexpr double LargestFrame = double(std::int64_t(1) << 46);

// x * gain / 4096, truncating toward zero.
inline std::int32_t Scale(std::int32_t x, std::uint32_t gain) {
  std::int32_t product = x * static_cast<std::int32_t>(gain);
  if (product < 0) product += 4095;
  return product >> 12;
}

inline std::int16_t Clamp16(std::int32_t x) {
  return static_cast<std::int16_t>(x < -32768 ? -32768 : (x > 32767 ? 32767 : x));
}

// Positions are whole frames, so this one is never a real position.
constexpr std::int64_t NoPosition = -1;

// The 48.16 position of a music time, or NoPosition when it has none.
std::int64_t EventPosition(double rate, float seconds) {
  double frame = std::nearbyint(rate * static_cast<double>(seconds));
  if (!std::isfinite(frame) || std::fabs(frame) > LargestFrame) return NoPosition;
  return static_cast<std::int64_t>(frame) * 65536;
}

std::shared_ptr<const TPlayerSong> CurrentSong(TPlayer& player) {
  std::lock_guard<std::mutex> guard(player.SongLock);
  return player.Song;
}

// Where a note's tone starts and stops, in 48.16 music positions.
struct TNoteEvents {
  std::int64_t Start;
  std::int64_t End;
  std::int32_t Tone;
};

TNoteEvents EventsOf(const TPlayerSong& song, const songData::TNote& note, double rate) {
  const double beatSeconds = song.BPM * 4;
  const auto start = static_cast<float>(
      static_cast<double>(std::int64_t(note.Start) * 60) / beatSeconds - song.MusicOffset);
  const double endBeat = (std::int64_t(note.Start) + note.Length) - 0.4;
  const auto end = static_cast<float>(endBeat * 60 / beatSeconds - song.MusicOffset);
  // Far out of the sounding range either way, without overflowing.
  const auto tone = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(std::int64_t(note.Pitch) + song.Transpose, -1000, 1000));
  return {EventPosition(rate, start), EventPosition(rate, end), tone};
}

void FindNextNoteEventAt(TPlayer& player, std::int64_t pos) {
  const std::shared_ptr<const TPlayerSong> song = CurrentSong(player);
  const double rate = player.MusicRate;
  std::int64_t best = NeverReached;
  bool found = false;
  std::int32_t tone = NoTone;
  for (const songData::TNote& note : song->Notes) {
    if (note.IsLineBreak()) continue;
    const TNoteEvents events = EventsOf(*song, note, rate);
    std::int64_t at = events.Start;
    if (at > pos && at < best) {
      best = at;
      found = true;
      tone = events.Tone;
    }
    at = events.End;
    if (at > pos && at < best) {
      best = at;
      found = true;
      tone = NoTone;
    }
  }
  player.NextEventPos = best - EventLead;
  if (found) player.PendingTone = tone;
}

// The music of each frame read straight from the samples at the player's step.
struct TDirectMusic {
  const std::int16_t* Samples;
  bool Stereo;
  std::int64_t Step;

  void Read(std::int64_t& pos, int, std::uint32_t gain, std::int32_t& left, std::int32_t& right) {
    const auto i = static_cast<std::int32_t>(pos >> 16);
    if (Stereo) {
      left = Scale(Samples[2 * std::int64_t(i)], gain);
      right = Scale(Samples[2 * std::int64_t(i) + 1], gain);
    } else {
      left = right = Scale(Samples[i], gain);
    }
    pos += Step;
  }
  // Past the end the last frame's music holds to the end of the buffer.
  void Ended(std::int32_t&, std::int32_t&) {}
};

// Silence in place of music, at the player's step times the speed.
struct TSilence {
  std::int64_t Step;

  void Read(std::int64_t& pos, int, std::uint32_t, std::int32_t& left, std::int32_t& right) {
    left = right = 0;
    pos += Step;
  }
  void Ended(std::int32_t& left, std::int32_t& right) { left = right = 0; }
};

// The music of each frame taken from the slowed frames readied for the buffer.
struct TSlowedFrames {
  TSlowedMusic& Music;
  const std::int16_t* Frames;

  void Read(std::int64_t& pos, int n, std::uint32_t gain, std::int32_t& left, std::int32_t& right) {
    left = Scale(Frames[2 * n], gain);
    right = Scale(Frames[2 * n + 1], gain);
    pos = Music.Advance();
  }
  void Ended(std::int32_t& left, std::int32_t& right) { left = right = 0; }
};

// Mixes frames into out; the caller holds MusicLock.
template <class TMusic>
void MixFrames(TPlayer& player, std::int16_t* out, int frames, TMusic music) {
  const std::int32_t musicFrames = player.MusicFrames.load(std::memory_order_relaxed);
  const std::int16_t* tone = player.ToneSample.data();
  const std::uint64_t toneLength = player.ToneLength;
  const bool hasMusic = musicFrames > 0;

  std::int64_t pos = player.MusicPos.load(std::memory_order_relaxed);
  std::uint32_t tonePos = player.TonePos.load(std::memory_order_relaxed);
  std::uint32_t toneVolume = player.ToneVolume.load(std::memory_order_relaxed);
  std::uint32_t musicVolume = player.MusicVolume.load(std::memory_order_relaxed);
  std::int32_t left = 0, right = 0;
  for (int n = 0; n < frames; ++n) {
    // Note events only while music plays: a stopped position never reaches a
    // pending event, which would otherwise be taken again on every frame.
    if (hasMusic && pos > player.NextEventPos.load(std::memory_order_relaxed)) {
      std::int32_t pending = player.PendingTone.load(std::memory_order_relaxed);
      if (pending == NoTone)
        StopTone(player);
      else
        StartTone(player, pending, false);
      FindNextNoteEventAt(player, pos);
    }

    std::int32_t t = 0;
    if (toneLength != 0) {
      const std::int32_t s = tone[tonePos >> 16];
      std::uint64_t next = std::uint64_t(tonePos) + player.ToneStep.load(std::memory_order_relaxed);
      if (next >= toneLength) next %= toneLength; // a step may exceed a very short sample
      tonePos = static_cast<std::uint32_t>(next);
      t = Scale(s, toneVolume);
    }

    if (n % 16 == 0) {
      const std::uint32_t toneTarget = player.ToneVolumeTarget.load(std::memory_order_relaxed);
      if (toneVolume != toneTarget) toneVolume = (toneVolume * 63 + toneTarget) / 64;
      const std::uint32_t musicTarget = player.MusicVolumeTarget.load(std::memory_order_relaxed);
      if (musicVolume != musicTarget) musicVolume = (musicVolume * 127 + musicTarget) / 128;
    }

    const auto i = static_cast<std::int32_t>(pos >> 16);
    if (hasMusic && i >= 0 && i < musicFrames - 2)
      music.Read(pos, n, musicVolume, left, right);
    else
      music.Ended(left, right);
    out[2 * n] = Clamp16(t + left);
    out[2 * n + 1] = Clamp16(t + right);
  }
  player.MusicPos.store(pos, std::memory_order_relaxed);
  player.TonePos.store(tonePos, std::memory_order_relaxed);
  player.ToneVolume.store(toneVolume, std::memory_order_relaxed);
  player.MusicVolume.store(musicVolume, std::memory_order_relaxed);
}

// Mixes one buffer, slowing the music below full speed; the caller holds MusicLock.
void MixBuffer(TPlayer& player, std::int16_t* out, int frames) {
  const std::int16_t* samples = player.Music ? player.Music->Samples.data() : nullptr;
  const bool hasMusic = player.MusicFrames.load(std::memory_order_relaxed) > 0;
  const double speed = player.Speed.load(std::memory_order_relaxed);
  const std::int64_t step = player.MusicStep.load(std::memory_order_relaxed);
  if (hasMusic && samples == nullptr) {
    // Silence needs no stretching: it only moves on slower.
    if (player.Slowed) player.Slowed->Stop();
    player.MixedSpeed.store(speed, std::memory_order_relaxed);
    MixFrames(player, out, frames,
              TSilence{static_cast<std::int64_t>(std::nearbyint(double(step) * speed))});
    return;
  }
  if (!hasMusic || speed >= 1.0) {
    // Full speed never touches the stretcher, which starts afresh when next needed.
    if (player.Slowed) player.Slowed->Stop();
    player.MixedSpeed.store(1.0, std::memory_order_relaxed);
    MixFrames(player, out, frames,
              TDirectMusic{samples, player.Stereo.load(std::memory_order_relaxed), step});
    return;
  }
  if (!player.Slowed) player.Slowed = std::make_unique<TSlowedMusic>();
  TSlowedMusic& slowed = *player.Slowed;
  slowed.Prepare(player, speed, frames);
  player.MixedSpeed.store(speed, std::memory_order_relaxed);
  MixFrames(player, out, frames, TSlowedFrames{slowed, slowed.Frames()});
}

} // namespace

void FindNextNoteEvent(TPlayer& player) {
  FindNextNoteEventAt(player, player.MusicPos);
}

void StartToneOfNoteAtPosition(TPlayer& player) {
  const std::shared_ptr<const TPlayerSong> song = CurrentSong(player);
  const std::int64_t pos = player.MusicPos;
  for (const songData::TNote& note : song->Notes) {
    if (note.IsLineBreak()) continue;
    const TNoteEvents events = EventsOf(*song, note, player.MusicRate);
    if (events.Start != NoPosition && events.Start <= pos && pos < events.End) {
      StartTone(player, events.Tone, false);
      return;
    }
  }
}

void FillBuffer(TPlayer& player, TAudioOutput& output) {
  if (player.FillCount == player.LastFill) throw MyServis::EError("Dupe!");
  player.LastFill = player.FillCount;
  std::int16_t* buffer = player.Buffers[player.FillCount % 2].data();
  {
    std::lock_guard<std::mutex> guard(player.MusicLock);
    MixBuffer(player, buffer, player.BufferFrames);
  }
  output.Write(buffer, player.BufferFrames);
  player.FillCount += 1;
}

void RenderBuffers(TPlayer& player, TAudioOutput& output, int count) {
  for (int i = 0; i < count; ++i)
    FillBuffer(player, output);
}

} // namespace player
