#include "audio/ffmpeg_decoder.h"
#include "audio/music_loader.h"
#include "audio_fixtures.h"
#include "ffmpeg_fixtures.h"
#include "support/exceptions.h"
#include "support/file_io.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

using audiotest::EncodeWithFfmpeg;
using audiotest::SineSamples;
using songData::TPcmMusic;

constexpr double Pitch = 440.0;

// The tone's frequency from the rises of the first channel through zero; the
// margin keeps the codec's noise near zero from counting as rises.
double MeasuredPitch(const TPcmMusic& music) {
  constexpr int Margin = 1000;
  const int channels = songData::Channels(music);
  const std::size_t frames = songData::Frames(music);
  std::size_t first = 0, last = 0, rises = 0;
  bool below = false;
  for (std::size_t i = 0; i < frames; ++i) {
    const int sample = music.Samples[i * channels];
    if (sample < -Margin) below = true;
    if (below && sample > Margin) {
      below = false;
      if (rises++ == 0) first = i;
      last = i;
    }
  }
  if (rises < 2) return 0;
  return (rises - 1) * double(music.SampleRate) / double(last - first);
}

struct TFormatCase {
  std::string File;
  std::string Options;
  int Rate;
  int Channels;
  int FrameTolerance; // one codec frame; lossless containers keep every frame
};

class DecodeFfmpegFormat : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(DecodeFfmpegFormat, KeepsRateLengthAndPitchMixingDownToStereo) {
  const TFormatCase& c = GetParam();
  TTempFolder folder;
  const int frames = c.Rate;
  const std::string path = folder.File(c.File);
  EncodeWithFfmpeg(path, SineSamples(c.Rate, c.Channels, frames, Pitch, 10000.0), c.Rate,
                   c.Channels, c.Options);
  TPcmMusic music;
  float progress = 0;
  MusicLoader::TDecodeOptions options;
  options.Progress = [&](float fraction) {
    progress = fraction;
    return true;
  };
  MusicLoader::DecodeMusic(path, options, music);
  EXPECT_EQ(music.SampleRate, c.Rate);
  EXPECT_EQ(music.Stereo, c.Channels >= 2);
  EXPECT_NEAR(double(songData::Frames(music)), frames, c.FrameTolerance);
  EXPECT_NEAR(MeasuredPitch(music), Pitch, Pitch / 100);
  EXPECT_FLOAT_EQ(progress, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    FfmpegFiles, DecodeFfmpegFormat,
    ::testing::Values(TFormatCase{"tone.ogg", "-c:a libvorbis", 44100, 2, 2048},
                      TFormatCase{"tone.opus", "-c:a libopus", 48000, 2, 960},
                      TFormatCase{"tone.m4a", "-c:a aac", 44100, 2, 1024},
                      TFormatCase{"tone.flac", "-c:a flac", 44100, 2, 0},
                      TFormatCase{"tone.wav", "-c:a pcm_s16le", 22050, 2, 0},
                      TFormatCase{"mono.flac", "-c:a flac", 32000, 1, 0},
                      TFormatCase{"mono.ogg", "-c:a libvorbis", 44100, 1, 2048},
                      TFormatCase{"surround.flac", "-c:a flac", 48000, 6, 0},
                      TFormatCase{"surround.wav", "-c:a pcm_s16le", 44100, 6, 0}));

TEST(DecodeWithFfmpeg, ReportsRisingProgressEveryFewKilobytes) {
  TTempFolder folder;
  const std::string path = folder.File("tone.m4a");
  EncodeWithFfmpeg(path, SineSamples(44100, 2, 44100 * 4, Pitch, 10000.0), 44100, 2, "-c:a aac");
  const double fileBytes = double(MyServis::ReadFileBytes(path).size());
  std::vector<float> reports;
  TPcmMusic music;
  MusicLoader::TDecodeOptions options;
  options.Progress = [&](float fraction) {
    reports.push_back(fraction);
    return true;
  };
  MusicLoader::DecodeWithFfmpeg(path, options, music);
  ASSERT_FALSE(reports.empty());
  // Steps count from the packets' places, not from the index at the end read first.
  float previous = 0.0f;
  for (float report : reports) {
    EXPECT_GT(report, previous);
    EXPECT_LE((report - previous) * fileBytes, 4.0 * MusicLoader::ProgressStepBytes);
    previous = report;
  }
}

struct TDamageCase {
  std::string Name;
  std::size_t Offset; // where garbage overwrites the file; past the end cuts it there
  std::size_t Bytes;
};

class DamagedFfmpegFile : public ::testing::TestWithParam<TDamageCase> {};

TEST_P(DamagedFfmpegFile, FailsWithTheReasonAndLeavesMusicAsItWas) {
  const TDamageCase& c = GetParam();
  TTempFolder folder;
  const std::string path = folder.File("tone.flac");
  EncodeWithFfmpeg(path, SineSamples(44100, 2, 22050, Pitch, 10000.0), 44100, 2, "-c:a flac");
  std::string bytes = MyServis::ReadFileBytes(path);
  if (c.Offset < bytes.size())
    bytes.replace(c.Offset, c.Bytes, std::string(c.Bytes, 'x'));
  else
    bytes.resize(c.Bytes);
  folder.Write("tone.flac", bytes);
  TPcmMusic music = audiotest::MakeMusic(8000, false, {1, 2, 3});
  try {
    MusicLoader::DecodeMusic(path, MusicLoader::TDecodeOptions{}, music);
    ADD_FAILURE() << c.Name << " decoded";
  } catch (const MyServis::EError& e) {
    EXPECT_NE(std::string(e.what()).find("Can't decode music: "), std::string::npos)
        << c.Name << ": " << e.what();
  }
  EXPECT_EQ(music.Samples, (std::vector<std::int16_t>{1, 2, 3})) << c.Name;
  EXPECT_EQ(music.SampleRate, 8000) << c.Name;
}

// A WAV header may give any rate: the room made for the music stays within
// what a file of this size could hold, rather than a second at that rate.
TEST(DecodeWithFfmpeg, AbsurdRateDoesNotReserveGigabytes) {
  constexpr std::uint32_t Rate = 1920000000, Frames = 400;
  auto le = [](std::uint32_t value, int bytes) {
    std::string out;
    for (int k = 0; k < bytes; ++k)
      out += static_cast<char>(value >> (8 * k));
    return out;
  };
  const std::string wav = "RIFF" + le(36 + 2 * Frames, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
                          le(1, 2) + le(Rate, 4) + le(2 * Rate, 4) + le(2, 2) + le(16, 2) + "data" +
                          le(2 * Frames, 4) + std::string(2 * Frames, '\x10');
  TTempFolder folder;
  TPcmMusic music;
  MusicLoader::DecodeWithFfmpeg(folder.Write("rate.wav", wav), {}, music);
  EXPECT_EQ(music.Samples.size(), Frames);
  EXPECT_LE(music.Samples.capacity(), 48 * wav.size());
}

// A tag chunk of a WAV file may claim any size; the bytes are not made ready
// before they are there to read.
TEST(DecodeWithFfmpeg, TagChunkClaimingAGigabyteTakesNoGigabyte) {
  auto le = [](std::uint32_t value, int bytes) {
    std::string out;
    for (int k = 0; k < bytes; ++k)
      out += static_cast<char>(value >> (8 * k));
    return out;
  };
  const std::string wav = "RIFF" + le(0x7FFFFFF0, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
                          le(1, 2) + le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) + "LIST" +
                          le(0x7FFFFF00, 4) + "INFOISFT" + le(1u << 30, 4) + "Chorvanta";
  TTempFolder folder;
  const std::string path = folder.Write("tags.wav", wav);
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  TPcmMusic music;
  try {
    MusicLoader::DecodeWithFfmpeg(path, {}, music);
  } catch (const MyServis::EError&) {
    // Failing is right: the file holds no music.
  }
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 512 * 1024); // kilobytes
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFfmpegFile,
                         ::testing::Values(TDamageCase{"garbled header", 0, 64},
                                           TDamageCase{"cut inside the header", ~0u, 20},
                                           TDamageCase{"empty", ~0u, 0}));

} // namespace
