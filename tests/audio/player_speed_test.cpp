#include "audio/capture_output.h"
#include "audio/player.h"
#include "audio_fixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using namespace player;
using songData::TNote;

std::uint64_t Fnv1a(const std::vector<std::int16_t>& samples) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::int16_t s : samples)
    for (int shift : {0, 8}) {
      hash ^= (static_cast<std::uint16_t>(s) >> shift) & 0xFF;
      hash *= 1099511628211ull;
    }
  return hash;
}

std::vector<std::int16_t> Chord(int rate, bool stereo, double seconds) {
  std::vector<std::int16_t> samples;
  const int frames = static_cast<int>(rate * seconds);
  for (int i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    const double v = 6000 * std::sin(2 * M_PI * 220 * t) + 5000 * std::sin(2 * M_PI * 277.18 * t) +
                     4000 * std::sin(2 * M_PI * 329.63 * t);
    samples.push_back(static_cast<std::int16_t>(std::lround(v)));
    if (stereo) samples.push_back(static_cast<std::int16_t>(std::lround(-0.5 * v)));
  }
  return samples;
}

TNote Note(std::int32_t start, std::int32_t length, std::int32_t pitch) {
  TNote note;
  note.Start = start;
  note.Length = length;
  note.Pitch = pitch;
  return note;
}

// A player mixing on the test's thread, with a 441 Hz tone sample of whole periods.
struct TSpeedMix {
  explicit TSpeedMix(double speed) {
    p.ToneSample = audiotest::SineSamples(44100, 1, 200, 441.0, 9000);
    p.ToneLength = 200u << 16;
    p.BufferFrames = 2205;
    SetPlaybackSpeed(p, speed);
    capture.Open(2205);
  }
  void Play(const songData::TPcmMusic& music, std::vector<TNote> notes, float from = 0.0f) {
    songData::TSong song;
    song.BPM = 15; // one beat a second
    song.Notes = std::move(notes);
    PublishPlayerSong(p, song);
    PlayMusic(p, audiotest::Shared(music), from);
  }
  // Renders until the music has finished; the frames rendered.
  std::size_t RenderToEnd() {
    for (int i = 0; i < 2000 && PlayerState(p) != psFinished; ++i)
      RenderBuffers(p, capture, 1);
    return capture.FrameCount();
  }
  TPlayer p;
  TCaptureOutput capture;
};

// The left channel's frequency over frames [from, to), from its rising zero
// crossings placed between samples.
double Frequency(const std::vector<std::int16_t>& out, std::size_t from, std::size_t to) {
  double first = -1, last = -1;
  int crossings = 0;
  for (std::size_t f = from + 1; f < to; ++f) {
    const double a = out[2 * (f - 1)], b = out[2 * f];
    if (a < 0 && b >= 0) {
      last = double(f - 1) + a / (a - b);
      if (first < 0) first = last;
      ++crossings;
    }
  }
  return crossings < 2 ? 0.0 : (crossings - 1) * double(OutputRate) / (last - first);
}

double Cents(double frequency, double reference) {
  return 1200 * std::log2(frequency / reference);
}

// The first frame whose left sample reaches level, from `from`.
std::size_t FirstAbove(const std::vector<std::int16_t>& out, int level, std::size_t from = 0) {
  for (std::size_t f = from; f < out.size() / 2; ++f)
    if (std::abs(int(out[2 * f])) >= level) return f;
  return std::numeric_limits<std::size_t>::max();
}

std::size_t LastAbove(const std::vector<std::int16_t>& out, int level) {
  for (std::size_t f = out.size() / 2; f > 0; --f)
    if (std::abs(int(out[2 * (f - 1)])) >= level) return f - 1;
  return 0;
}

// Checksums of mixes made before the music could be slowed: at full speed the
// mix stays the same to the bit, whatever speed was asked before.
TEST(PlayerSpeed, FullSpeedMixIsUnchanged) {
  struct TCase {
    int Rate;
    bool Stereo;
    double SpeedBefore;
    std::uint64_t Checksum;
  };
  for (TCase c : {TCase{44100, true, 1.0, 0x82bd541000b73328ull},
                  TCase{22050, false, 1.0, 0xbd1cc011dc57bea9ull},
                  TCase{48000, true, 1.0, 0x53b39fb0e813f718ull},
                  TCase{48000, true, 0.5, 0x53b39fb0e813f718ull}}) {
    TPlayer p;
    p.ToneSample = audiotest::SineSamples(44100, 1, 200, 441.0, 9000);
    p.ToneLength = 200u << 16;
    p.BufferFrames = 2205;
    SetToneMix(p, 60);
    SetMusicVolume(p, 80);
    SetPlaybackSpeed(p, c.SpeedBefore);
    songData::TSong song;
    song.BPM = 60;
    song.MusicOffset = 0.25;
    for (int i = 0; i < 6; ++i)
      song.Notes.push_back(Note(2 + 3 * i, 2, i * 2 - 3));
    PublishPlayerSong(p, song);
    songData::TPcmMusic music =
        audiotest::MakeMusic(c.Rate, c.Stereo, Chord(c.Rate, c.Stereo, 6.0));
    TCaptureOutput capture;
    capture.Open(2205);
    RenderBuffers(p, capture, 3);
    SetPlaybackSpeed(p, 1.0);
    PlayMusic(p, audiotest::Shared(music), 0.5f);
    RenderBuffers(p, capture, 120);
    EXPECT_EQ(Fnv1a(capture.Samples()), c.Checksum) << c.Rate << " " << c.SpeedBefore;
  }
}

TEST(PlayerSpeed, SpeedStaysWithinItsRange) {
  TPlayer p;
  EXPECT_EQ(PlaybackSpeed(p), 1.0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (auto [asked, kept] : {std::pair{0.9, 0.9},
                             {0.75, 0.75},
                             {0.6, 0.6},
                             {0.5, 0.5},
                             {1.0, 1.0},
                             {0.3, 0.5},
                             {-1.0, 0.5},
                             {2.0, 1.0},
                             {inf, 1.0},
                             {-inf, 0.5},
                             {nan, 1.0}}) {
    SetPlaybackSpeed(p, asked);
    EXPECT_EQ(PlaybackSpeed(p), kept) << asked;
  }
}

TEST(PlayerSpeed, SlowedMusicKeepsItsPitchAndLastsLonger) {
  struct TCase {
    double Speed;
    int Rate;
    bool Stereo;
  };
  for (TCase c : {TCase{0.5, 44100, false}, TCase{0.75, 44100, true}, TCase{0.5, 22050, true},
                  TCase{0.75, 48000, false}}) {
    SCOPED_TRACE(testing::Message() << c.Speed << " at " << c.Rate);
    TSpeedMix mix(c.Speed);
    mix.p.MusicVolume = mix.p.MusicVolumeTarget = 4096;
    const int frames = 2 * c.Rate;
    songData::TPcmMusic music = audiotest::MakeMusic(
        c.Rate, c.Stereo, audiotest::SineSamples(c.Rate, c.Stereo ? 2 : 1, frames, 440.0, 8000));
    mix.Play(music, {});
    EXPECT_FLOAT_EQ(PlayPositionSeconds(mix.p), 0.0f);
    mix.RenderToEnd();
    const std::vector<std::int16_t> out = mix.capture.Samples();
    const double seconds = 2.0 / c.Speed;
    EXPECT_NEAR(LastAbove(out, 1000) / double(OutputRate), seconds, 0.01);
    EXPECT_NEAR(PlayPositionSeconds(mix.p), 2.0, 0.001);
    // The resampled step is whole 16ths of a frame, so the music's own pitch
    // is 440 Hz times the step's rounding.
    const double step = double(mix.p.MusicStep) / 65536 * OutputRate / c.Rate;
    const auto middle = static_cast<std::size_t>(seconds / 4 * OutputRate);
    EXPECT_NEAR(Cents(Frequency(out, middle, 3 * middle), 440.0 * step), 0.0, 5.0);
  }
}

// Music silent until a chord at song second 1, where a note starts: both come
// out at the slowed time, together, and the tone keeps the pitch it has at
// full speed.
TEST(PlayerSpeed, NoteToneStartsWithTheSlowedMusic) {
  std::vector<std::int16_t> samples(44100, 0);
  std::vector<std::int16_t> chord = Chord(44100, false, 1.0);
  samples.insert(samples.end(), chord.begin(), chord.end());
  songData::TPcmMusic music = audiotest::MakeMusic(44100, false, samples);
  auto render = [&](double speed, bool tone) {
    TSpeedMix mix(speed);
    SetToneMix(mix.p, tone ? 100 : 0);
    mix.p.MusicVolume = mix.p.MusicVolumeTarget = tone ? 0 : 4096;
    mix.Play(music, {Note(1, 1, 5)});
    mix.RenderToEnd();
    return mix.capture.Samples();
  };
  const std::vector<std::int16_t> fullTone = render(1.0, true);
  const double pitch = Frequency(fullTone, 50000, 80000);
  ASSERT_GT(pitch, 300.0);
  for (double speed : {0.5, 0.75}) {
    SCOPED_TRACE(speed);
    const std::vector<std::int16_t> tone = render(speed, true);
    const std::vector<std::int16_t> chordOut = render(speed, false);
    const double due = 1.0 / speed;
    EXPECT_NEAR(FirstAbove(tone, 200) / double(OutputRate), due, 0.01);
    EXPECT_NEAR(FirstAbove(chordOut, 4000) / double(OutputRate), due, 0.01);
    const auto from = static_cast<std::size_t>((due + 0.1) * OutputRate);
    EXPECT_NEAR(Cents(Frequency(tone, from, from + 30000), pitch), 0.0, 5.0);
  }
}

// RMS of the left channel over frames [from, from + count).
double Rms(const std::vector<std::int16_t>& out, std::size_t from, std::size_t count) {
  double sum = 0;
  for (std::size_t f = from; f < from + count; ++f)
    sum += double(out[2 * f]) * out[2 * f];
  return std::sqrt(sum / double(count));
}

TEST(PlayerSpeed, ChangesDuringPlaybackLeaveNoSilence) {
  TSpeedMix mix(1.0);
  mix.p.MusicVolume = mix.p.MusicVolumeTarget = 4096;
  songData::TPcmMusic music = audiotest::MakeMusic(44100, true, Chord(44100, true, 6.0));
  mix.Play(music, {});
  for (double speed : {1.0, 0.5, 0.75, 1.0, 0.6, 0.9, 0.5})
    for (int i = 0; i < 8; ++i) {
      if (i == 0) SetPlaybackSpeed(mix.p, speed);
      RenderBuffers(mix.p, mix.capture, 1);
    }
  ASSERT_NE(PlayerState(mix.p), psFinished);
  const std::vector<std::int16_t> out = mix.capture.Samples();
  const double level = Rms(out, 0, 2205);
  constexpr std::size_t Window = 441;
  for (std::size_t f = 0; f + Window <= out.size() / 2; f += Window)
    ASSERT_GT(Rms(out, f, Window), level / 4) << "at frame " << f;
}

// A chord at music second 2 where a note starts, with the speed changed on the
// way: the note's tone still starts with the chord. The stretcher gives out what
// it holds at the old speed first, so the chord comes a little off the time a
// sudden change would give.
TEST(PlayerSpeed, ToneAndMusicStayTogetherAcrossChanges) {
  std::vector<std::int16_t> samples(2 * 44100, 0);
  std::vector<std::int16_t> chord = Chord(44100, false, 1.0);
  samples.insert(samples.end(), chord.begin(), chord.end());
  songData::TPcmMusic music = audiotest::MakeMusic(44100, false, samples);
  struct TCase {
    double First, Then;
    int ChangeAfter; // buffers
  };
  for (TCase c : {TCase{0.5, 0.75, 20}, TCase{0.75, 0.5, 40}, TCase{1.0, 0.5, 30},
                  TCase{0.5, 1.0, 10}, TCase{0.6, 0.9, 55}}) {
    SCOPED_TRACE(testing::Message() << c.First << " then " << c.Then << " after " << c.ChangeAfter);
    auto render = [&](bool tone) {
      TSpeedMix mix(c.First);
      SetToneMix(mix.p, tone ? 100 : 0);
      mix.p.MusicVolume = mix.p.MusicVolumeTarget = tone ? 0 : 4096;
      mix.Play(music, {Note(2, 1, 5)});
      RenderBuffers(mix.p, mix.capture, c.ChangeAfter);
      SetPlaybackSpeed(mix.p, c.Then);
      mix.RenderToEnd();
      return mix.capture.Samples();
    };
    const double changeSeconds = c.ChangeAfter * 2205.0 / OutputRate;
    const double due = changeSeconds + (2.0 - changeSeconds * c.First) / c.Then;
    const double tone = FirstAbove(render(true), 200) / double(OutputRate);
    const double chordStart = FirstAbove(render(false), 4000) / double(OutputRate);
    EXPECT_NEAR(tone, chordStart, 0.01);
    EXPECT_NEAR(chordStart, due, 0.05);
  }
}

} // namespace
