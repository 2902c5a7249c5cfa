// The most music a load takes: only regular files, at most 2 GB of file, at
// most the decode's length in music, and a cancel that stops a decode at once.
#include "audio/ffmpeg_decoder.h"
#include "audio/mp3_loader.h"
#include "audio/music_loader.h"
#include "audio_fixtures.h"
#include "ffmpeg_fixtures.h"
#include "support/exceptions.h"
#include "support/runtime_errors.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using MusicLoader::TDecodeOptions;
using MusicLoader::TDecodeOutcome;
using songData::TPcmMusic;

// A mono WAV of `frames` frames of a constant sample whose header claims
// claimedBytes of them (0xFFFFFFFF for a stream of unknown length).
std::string Wav(std::uint32_t rate, std::uint32_t frames, std::uint32_t claimedBytes) {
  std::string wav = audiotest::MonoWavHeader(rate, claimedBytes);
  for (std::uint32_t i = 0; i < frames; ++i)
    wav += "\xE8\x03"; // 1000
  return wav;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The decode's failure message, or "" when it decoded. A decode that blocks
// fails the test, and a writer opened on the FIFO lets it end.
std::string DecodeFailure(const std::string& path) {
  auto decode = std::async(std::launch::async, [path] {
    TPcmMusic music;
    try {
      MusicLoader::DecodeMusic(path, TDecodeOptions{}, music);
    } catch (const std::exception& e) {
      return std::string(e.what());
    }
    return std::string();
  });
  if (decode.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
    ADD_FAILURE() << path << " blocked the decode";
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  }
  return decode.get();
}

TEST(MusicLimits, OnlyRegularFilesUpTo2GBAreRead) {
  TTempFolder folder;
  ASSERT_EQ(::mkfifo(folder.File("fifo.mp3").c_str(), 0644), 0);
  if (!audiotest::WriteSparseFile(folder.File("huge.wav"),
                                  audiotest::MonoWavHeader(8000, 0xFFFFFFF0),
                                  std::uint64_t(4) << 30))
    GTEST_SKIP() << "no sparse file of 4 GB here";
  const std::string fifo = DecodeFailure(folder.File("fifo.mp3"));
  EXPECT_NE(fifo.find("It is not a regular file."), std::string::npos) << fifo;
  const std::string huge = DecodeFailure(folder.File("huge.wav"));
  EXPECT_NE(huge.find("It is larger than 2 GB."), std::string::npos) << huge;
  const std::string folderError = DecodeFailure(folder.Path());
  EXPECT_NE(folderError.find("It is not a regular file."), std::string::npos) << folderError;
}

// Music files hold far more than songs: a WAV over the song files' 64 MB loads.
TEST(MusicLimits, AMusicFileOver64MBLoads) {
  TTempFolder folder;
  constexpr std::uint32_t DataBytes = 65u << 20;
  ASSERT_TRUE(audiotest::WriteSparseFile(
      folder.File("long.wav"), audiotest::MonoWavHeader(8000, DataBytes), 44 + DataBytes));
  TPcmMusic music;
  const TDecodeOutcome outcome =
      MusicLoader::DecodeMusic(folder.File("long.wav"), TDecodeOptions{}, music);
  EXPECT_EQ(music.Samples.size(), DataBytes / 2);
  EXPECT_EQ(outcome.Notice, "");
}

struct TLengthCase {
  std::string Name;
  std::function<void(const std::string& path)> Write; // two seconds of music but where said
  double MostSeconds;
  std::size_t Frames; // decoded; 0 when refused
  bool Refused, Cut;
};

void PrintTo(const TLengthCase& c, std::ostream* out) {
  *out << c.Name;
}

class MusicLength : public ::testing::TestWithParam<TLengthCase> {};

TEST_P(MusicLength, IsRefusedWhenTheFileTellsItElseCut) {
  const TLengthCase& c = GetParam();
  TTempFolder folder;
  const std::string path = folder.File(c.Name);
  c.Write(path);
  TPcmMusic music = audiotest::MakeMusic(8000, false, {1, 2, 3});
  TDecodeOptions options;
  options.MostSeconds = c.MostSeconds;
  int progressCalls = 0;
  options.Progress = [&](float) { return ++progressCalls > 0; };
  try {
    const TDecodeOutcome outcome = MusicLoader::DecodeMusic(path, options, music);
    EXPECT_FALSE(c.Refused) << "decoded";
    EXPECT_EQ(songData::Frames(music), c.Frames);
    EXPECT_EQ(outcome.Notice,
              c.Cut ? "The music is longer than 1 second and was cut at that length." : "");
  } catch (const MyServis::EError& e) {
    EXPECT_TRUE(c.Refused) << e.what();
    EXPECT_NE(std::string(e.what()).find(
                  "The music is longer than 1 second, the most that can be loaded."),
              std::string::npos)
        << e.what();
    // Refused before decoding: nothing was reported, and the music is as it was.
    EXPECT_EQ(progressCalls, 0);
    EXPECT_EQ(music.Samples, (std::vector<std::int16_t>{1, 2, 3}));
  }
}

void Mp3(const std::string& path, const std::string& lameOptions) {
  audiotest::EncodeMp3(path, audiotest::SineSamples(22050, 1, 44100, 440.0, 8000.0), 22050, 1,
                       lameOptions);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MusicLength,
    ::testing::Values(
        TLengthCase{"honest.wav",
                    [](const std::string& p) { WriteFile(p, Wav(8000, 16000, 32000)); }, 1, 0, true,
                    false},
        TLengthCase{"stream.wav",
                    [](const std::string& p) { WriteFile(p, Wav(8000, 16000, 0xFFFFFFFF)); }, 1,
                    8000, false, true},
        TLengthCase{"exact.wav", [](const std::string& p) { WriteFile(p, Wav(8000, 8000, 16000)); },
                    1, 8000, false, false},
        // A header may claim any length: what the file holds decides.
        TLengthCase{
            "claims-hours.wav",
            [](const std::string& p) { WriteFile(p, Wav(8000, 8000, 8000u * 2 * 3600 * 4)); },
            MusicLoader::MostMusicSeconds, 8000, false, false},
        TLengthCase{"info-frame.mp3", [](const std::string& p) { Mp3(p, ""); }, 1, 0, true, false},
        TLengthCase{"no-info-frame.mp3", [](const std::string& p) { Mp3(p, "-t"); }, 1, 22050,
                    false, true}),
    [](const auto& info) {
      std::string name;
      for (char ch : info.param.Name)
        if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
      return name;
    });

TEST(MusicLimits, ThreeHoursAreTheMostByDefault) {
  TTempFolder folder;
  ASSERT_TRUE(audiotest::WriteThreeHoursAndASecond(folder.Path()));
  TPcmMusic music;
  try {
    MusicLoader::DecodeMusic(folder.File("told.wav"), TDecodeOptions{}, music);
    ADD_FAILURE() << "decoded";
  } catch (const MyServis::EError& e) {
    EXPECT_NE(std::string(e.what()).find(
                  "The music is longer than 3 hours, the most that can be loaded."),
              std::string::npos)
        << e.what();
  }
  const TDecodeOutcome cut =
      MusicLoader::DecodeMusic(folder.File("stream.wav"), TDecodeOptions{}, music);
  EXPECT_EQ(cut.Notice, "The music is longer than 3 hours and was cut at that length.");
  EXPECT_EQ(songData::Frames(music), std::size_t(1000) * 3 * 3600);
}

// A progress procedure that returns false ends the decode at once.
TEST(MusicLimits, CancelStopsAtTheFirstReportAndKeepsTheMusic) {
  TTempFolder folder;
  Mp3(folder.File("tone.mp3"), "");
  audiotest::EncodeWithFfmpeg(folder.File("tone.flac"),
                              audiotest::SineSamples(44100, 2, 44100 * 3, 440.0, 8000.0), 44100, 2,
                              "-c:a flac");
  for (const std::string name : {"tone.mp3", "tone.flac"}) {
    TPcmMusic music = audiotest::MakeMusic(8000, false, {1, 2, 3});
    TDecodeOptions options;
    int progressCalls = 0;
    options.Progress = [&](float) { return ++progressCalls > 1; };
    const TDecodeOutcome outcome = MusicLoader::DecodeMusic(folder.File(name), options, music);
    EXPECT_TRUE(outcome.Cancelled) << name;
    EXPECT_EQ(progressCalls, 1) << name;
    EXPECT_EQ(music.Samples, (std::vector<std::int16_t>{1, 2, 3})) << name;
  }
}

// Silence packs minutes of music into a few kilobytes; the progress procedure
// still runs for every few seconds decoded, so a cancel is heard as soon.
TEST(MusicLimits, ProgressRunsForEveryStepOfMusicFromASmallFile) {
  TTempFolder folder;
  const std::string path = folder.File("silence.flac");
  constexpr int Seconds = 120;
  audiotest::EncodeWithFfmpeg(path, std::vector<std::int16_t>(8000 * Seconds, 0), 8000, 1,
                              "-c:a flac");
  const auto musicSteps = static_cast<std::size_t>(Seconds / MusicLoader::ProgressStepSeconds);
  ASSERT_LT(std::filesystem::file_size(path) / MusicLoader::ProgressStepBytes + 2, musicSteps);
  std::size_t progressCalls = 0;
  TDecodeOptions options;
  options.Progress = [&](float) { return ++progressCalls > 0; };
  TPcmMusic music;
  MusicLoader::DecodeWithFfmpeg(path, options, music);
  EXPECT_GE(progressCalls, musicSteps - 1);
}

} // namespace
