#include "audio/mp3_loader.h"
#include "audio_fixtures.h"
#include "support/exceptions.h"
#include "support/file_io.h"
#include "support/runtime_errors.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using audiotest::EncodeMp3;
using audiotest::SineSamples;
using songData::TPcmMusic;

double Rms(const std::vector<std::int16_t>& samples) {
  double sum = 0;
  for (std::int16_t s : samples)
    sum += double(s) * s;
  return std::sqrt(sum / samples.size());
}

struct TFormatCase {
  int Rate;
  int Channels;
  std::string LameOptions;
};

class DecodeFormat : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(DecodeFormat, KeepsRateChannelsAndEveryFrame) {
  const TFormatCase& c = GetParam();
  TTempFolder folder;
  const int frames = c.Rate / 2;
  std::string path = folder.File("tone.mp3");
  EncodeMp3(path, SineSamples(c.Rate, c.Channels, frames, 440.0, 10000.0), c.Rate, c.Channels,
            c.LameOptions);
  TPcmMusic music;
  MP3Loader::DecodeMp3(path, {}, music);
  EXPECT_EQ(music.SampleRate, c.Rate);
  EXPECT_EQ(music.Stereo, c.Channels == 2);
  // The encoder's delay and padding are trimmed: exactly the frames put in.
  EXPECT_EQ(songData::Frames(music), std::size_t(frames));
  EXPECT_NEAR(Rms(music.Samples), 10000.0 / std::sqrt(2.0), 400.0);
}

INSTANTIATE_TEST_SUITE_P(Mp3Files, DecodeFormat,
                         ::testing::Values(TFormatCase{44100, 2, ""}, TFormatCase{44100, 1, ""},
                                           TFormatCase{22050, 2, ""}, TFormatCase{22050, 1, ""},
                                           TFormatCase{48000, 2, ""},
                                           TFormatCase{44100, 2, "--add-id3v2 --tt Title"}));

TEST(DecodeMp3, ADamagedInfoFrameClaimingAHugeLengthIsNotBelieved) {
  TTempFolder folder;
  std::string path = folder.File("tone.mp3");
  EncodeMp3(path, SineSamples(44100, 2, 22050, 440.0, 10000.0), 44100, 2);
  std::string bytes = MyServis::ReadFileBytes(path);
  std::size_t info = bytes.find("Info");
  ASSERT_NE(info, std::string::npos);
  // The frame count follows the tag and its flags, big-endian.
  bytes.replace(info + 8, 4, "\x7F\xFF\xFF\xFF");
  folder.Write("tone.mp3", bytes);
  TPcmMusic music;
  MP3Loader::DecodeMp3(path, {}, music);
  EXPECT_GE(songData::Frames(music), 22050u);
  EXPECT_LT(music.Samples.capacity(), 4u << 20);
}

TEST(DecodeMp3, SkipsALargeId3v2Tag) {
  TTempFolder folder;
  std::string tone = folder.File("tone.mp3");
  EncodeMp3(tone, SineSamples(44100, 2, 22050, 440.0, 10000.0), 44100, 2);
  TPcmMusic plain;
  MP3Loader::DecodeMp3(tone, {}, plain);
  // A tag of 3 MB uses the highest size byte, which only a full reading of the size sees.
  const std::size_t tagBytes = 3u << 20;
  std::string tag = "ID3";
  tag += {'\x03', '\x00', '\x00'};
  for (int shift : {21, 14, 7, 0})
    tag += char((tagBytes >> shift) & 0x7F);
  tag += std::string(tagBytes, '\0');
  std::ifstream in(tone, std::ios::binary);
  std::string audio((std::istreambuf_iterator<char>(in)), {});
  folder.Write("tagged.mp3", tag + audio);
  TPcmMusic tagged;
  MP3Loader::DecodeMp3(folder.File("tagged.mp3"), {}, tagged);
  EXPECT_EQ(tagged.Samples, plain.Samples);
}

TEST(DecodeMp3, ReportsProgressForEveryPieceOfInput) {
  TTempFolder folder;
  std::string path = folder.File("tone.mp3");
  EncodeMp3(path, SineSamples(44100, 2, 44100, 440.0, 10000.0), 44100, 2);
  std::vector<float> seen;
  TPcmMusic music;
  MusicLoader::TDecodeOptions options;
  options.Progress = [&](float fraction) {
    seen.push_back(fraction);
    return true;
  };
  MP3Loader::DecodeMp3(path, options, music);
  std::size_t bytes = std::filesystem::file_size(path);
  ASSERT_GE(seen.size(), (bytes + MP3Loader::DecodeChunkBytes - 1) / MP3Loader::DecodeChunkBytes);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_GT(seen.front(), 0.0f);
  EXPECT_FLOAT_EQ(seen.back(), 1.0f);
}

TEST(DecodeMp3, TruncatedFileGivesWhatItHolds) {
  TTempFolder folder;
  std::string path = folder.File("tone.mp3");
  EncodeMp3(path, SineSamples(44100, 2, 44100, 440.0, 10000.0), 44100, 2);
  std::ifstream in(path, std::ios::binary);
  std::string audio((std::istreambuf_iterator<char>(in)), {});
  folder.Write("half.mp3", audio.substr(0, audio.size() / 2));
  TPcmMusic music;
  MP3Loader::DecodeMp3(folder.File("half.mp3"), {}, music);
  EXPECT_GT(songData::Frames(music), 15000u);
  EXPECT_LT(songData::Frames(music), 30000u);
}

struct TBadCase {
  std::string Name;
  std::string Bytes;
};

std::string Garbage(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 12345;
  for (char& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = char(x >> 24);
  }
  return bytes;
}

std::string TagOnly() {
  std::string tag = "ID3";
  tag += {'\x03', '\x00', '\x00', '\x00', '\x00', '\x07', '\x76'}; // 1014 bytes follow
  return tag + std::string(1014, '\0');
}

TEST(DecodeMp3, BadFilesAreInvalidAndLeaveThePreviousMusic) {
  const TBadCase cases[] = {
      {"empty", ""},
      {"one byte short", Garbage(521)},
      {"garbage of the minimum size", Garbage(522)},
      {"garbage", Garbage(40000)},
      {"zeros", std::string(5000, '\0')},
      {"tag only", TagOnly()},
  };
  TTempFolder folder;
  for (const TBadCase& c : cases) {
    folder.Write("bad.mp3", c.Bytes);
    TPcmMusic music;
    music.Samples = {1, 2, 3, 4};
    music.SampleRate = 8000;
    music.Stereo = true;
    try {
      MP3Loader::DecodeMp3(folder.File("bad.mp3"), {}, music);
      ADD_FAILURE() << c.Name << ": no failure";
    } catch (const MyServis::EError& e) {
      EXPECT_TRUE(std::string(e.what()).ends_with("Invalid MP3 file"))
          << c.Name << ": " << e.what();
    }
    EXPECT_EQ(music.Samples, (std::vector<std::int16_t>{1, 2, 3, 4})) << c.Name;
    EXPECT_EQ(music.SampleRate, 8000) << c.Name;
  }
}

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(DecodeMp3, FormatChangeInsideTheFileDecodesWholeInTheFirstFormat) {
  TTempFolder folder;
  EncodeMp3(folder.File("a.mp3"), SineSamples(44100, 2, 44100, 440.0, 8000.0), 44100, 2);
  EncodeMp3(folder.File("b.mp3"), SineSamples(22050, 1, 22050, 440.0, 8000.0), 22050, 1);
  folder.Write("both.mp3", FileBytes(folder.File("a.mp3")) + FileBytes(folder.File("b.mp3")));
  TPcmMusic music;
  MP3Loader::DecodeMp3(folder.File("both.mp3"), {}, music);
  EXPECT_EQ(music.SampleRate, 44100);
  EXPECT_TRUE(music.Stereo);
  // One second of each, the second part converted to 44100 Hz stereo.
  EXPECT_NEAR(MusicDuration(music), 2.0, 0.1);
}

TEST(DecodeMp3, StrayBytesBeforeTheFirstFrameAreSkipped) {
  TTempFolder folder;
  EncodeMp3(folder.File("a.mp3"), SineSamples(44100, 2, 44100, 440.0, 8000.0), 44100, 2);
  std::string junk(5000, '\x55');
  folder.Write("junk.mp3", junk + FileBytes(folder.File("a.mp3")));
  TPcmMusic music;
  MP3Loader::DecodeMp3(folder.File("junk.mp3"), {}, music);
  EXPECT_EQ(music.SampleRate, 44100);
  EXPECT_NEAR(MusicDuration(music), 1.0, 0.06);
}

TEST(DecodeMp3, MissingFileIsAFileError) {
  TPcmMusic music;
  EXPECT_THROW(MP3Loader::DecodeMp3("/nonexistent/none.mp3", {}, music), MyServis::EInOutError);
}

TEST(MusicDuration, IsSamplesOverRateAndChannels) {
  TPcmMusic music;
  EXPECT_EQ(songData::MusicDuration(music), 0.0f);
  music.Samples.resize(2 * 44100);
  music.SampleRate = 44100;
  music.Stereo = true;
  EXPECT_FLOAT_EQ(songData::MusicDuration(music), 1.0f);
  music.Stereo = false;
  EXPECT_FLOAT_EQ(songData::MusicDuration(music), 2.0f);
}

} // namespace
