#include "cli/cli_runner.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// An MP3 of a sine made with lame; amplitude 0 gives silence.
void WriteToneMp3(const TTempFolder& folder, const std::string& name, int rate, int channels,
                  double seconds, double amplitude) {
  std::string raw;
  const int frames = static_cast<int>(rate * seconds);
  for (int i = 0; i < frames; ++i) {
    auto value =
        static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * 440.0 * i / rate)));
    for (int c = 0; c < channels; ++c) {
      raw += static_cast<char>(value & 0xFF);
      raw += static_cast<char>((value >> 8) & 0xFF);
    }
  }
  folder.Write(name + ".raw", raw);
  char khz[16];
  std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
  std::string command = "lame --quiet -r --bitwidth 16 --signed --little-endian -s " +
                        std::string(khz) + " --resample " + khz +
                        (channels == 1 ? " -m m -b 64 '" : " -m j -b 128 '") +
                        folder.File(name + ".raw") + "' '" + folder.File(name) + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}
std::uint32_t Le16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}
std::uint32_t Be32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}
std::int16_t Sample(const std::string& wav, std::size_t index) {
  return static_cast<std::int16_t>(Le16(wav, 44 + 2 * index));
}

TEST(DecodeCommand, WritesAWavAtTheFilesOwnFormat) {
  TTempFolder folder;
  WriteToneMp3(folder, "mono.mp3", 22050, 1, 0.5, 8000);
  TCliResult run = RunCli({"decode", folder.File("mono.mp3"), folder.File("mono.wav")});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out, "rate: 22050 Hz\nchannels: 1\nframes: 11025\nduration: 0.500 s\n");
  std::string wav = folder.Read("mono.wav");
  ASSERT_EQ(wav.size(), 44u + 2 * 11025);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(Le16(wav, 22), 1u);
  EXPECT_EQ(Le32(wav, 24), 22050u);
  EXPECT_EQ(Le32(wav, 40), 2u * 11025);
}

TEST(DecodeCommand, BadInputFailsClearly) {
  TTempFolder folder;
  folder.Write("bad.mp3", std::string(3000, 'x'));
  TCliResult bad = RunCli({"decode", folder.File("bad.mp3"), folder.File("bad.wav")});
  EXPECT_EQ(bad.ExitCode, 1);
  // Not MP3 by its content, so the other decoder says why.
  EXPECT_NE(bad.Err.find("Can't decode music: "), std::string::npos) << bad.Err;
  TCliResult missing = RunCli({"decode", folder.File("none.mp3"), folder.File("none.wav")});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_NE(missing.Err.find("none.mp3"), std::string::npos) << missing.Err;
  EXPECT_EQ(RunCli({"decode", folder.File("bad.mp3")}).ExitCode, 2);
}

// One note from beat 1 to beat 3 at BPM 15 (one beat per second) over two
// seconds of silent 22050 Hz music.
class MixCommand : public ::testing::Test {
protected:
  void SetUp() override {
    WriteToneMp3(folder, "music.mp3", 22050, 1, 2.0, 0);
    folder.Write("song.txt", "#TITLE:T\n#ARTIST:A\n#MP3:music.mp3\n#BPM:15\n#GAP:0\n"
                             ": 1 2 12 la\nE\n");
  }
  std::string Mix(std::vector<std::string> options) {
    std::vector<std::string> args = {"mix", folder.File("song.txt"), folder.File("out.wav")};
    args.insert(args.end(), options.begin(), options.end());
    TCliResult run = RunCli(args);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    return folder.Read("out.wav");
  }
  TTempFolder folder;
};

TEST_F(MixCommand, TonesSoundFromTheirNotesAtTheMixersGain) {
  std::string wav = Mix({"--mixer", "10"});
  EXPECT_EQ(Le32(wav, 24), 44100u);
  EXPECT_EQ(Le16(wav, 22), 2u);
  const std::size_t frames = Le32(wav, 40) / 4;
  EXPECT_NEAR(double(frames), 2 * 44100, 10);
  // The note starts at one second; its tone is taken 100 music frames early.
  for (std::size_t f = 0; f < 43900; ++f)
    ASSERT_EQ(Sample(wav, 2 * f), 0) << f;
  int loudest = 0;
  for (std::size_t f = 44100; f < 46000; ++f) {
    loudest = std::max(loudest, std::abs(int(Sample(wav, 2 * f))));
    ASSERT_EQ(Sample(wav, 2 * f), Sample(wav, 2 * f + 1));
  }
  EXPECT_GT(loudest, 1000);

  std::string silent = Mix({"--mixer", "0"});
  for (std::size_t i = 0; i < (silent.size() - 44) / 2; ++i)
    ASSERT_EQ(Sample(silent, i), 0);
}

TEST_F(MixCommand, FromAndToCutThePlayback) {
  std::string wav = Mix({"--from", "0.5", "--to", "1.5", "--mixer", "10"});
  EXPECT_EQ(Le32(wav, 40) / 4, 44100u);
  // Song time 1.0 s lies half a second in.
  EXPECT_EQ(Sample(wav, 2 * 20000), 0);
  EXPECT_NE(Sample(wav, 2 * 30000), 0);
}

TEST_F(MixCommand, SpeedSlowsThePlaybackAndItsTones) {
  std::string full = Mix({"--mixer", "10"});
  EXPECT_EQ(Mix({"--mixer", "10", "--speed", "1"}), full);
  struct TCase {
    std::vector<std::string> Options;
    double Seconds, ToneAt; // of the output
  };
  for (const TCase& c :
       {TCase{{"--speed", "0.5"}, 4.0, 2.0}, TCase{{"--speed", "0.75"}, 2.0 / 0.75, 1.0 / 0.75},
        TCase{{"--speed", "0.5", "--from", "0.5", "--to", "1.5"}, 2.0, 1.0}}) {
    SCOPED_TRACE(c.Options[1] + (c.Options.size() > 2 ? " cut" : ""));
    std::vector<std::string> options = c.Options;
    options.insert(options.end(), {"--mixer", "10"});
    std::string wav = Mix(options);
    const std::size_t frames = Le32(wav, 40) / 4;
    EXPECT_NEAR(frames / 44100.0, c.Seconds, 0.001);
    std::size_t first = 0;
    while (first < frames && std::abs(int(Sample(wav, 2 * first))) < 200)
      ++first;
    EXPECT_NEAR(first / 44100.0, c.ToneAt, 0.01);
  }
}

TEST_F(MixCommand, BadOptionsAndSongsWithoutMusicFail) {
  for (std::vector<std::string> options : {std::vector<std::string>{"--mixer", "11"},
                                           {"--mixer", "x"},
                                           {"--from"},
                                           {"--from", "2", "--to", "1"},
                                           {"--speed", "0"},
                                           {"--speed", "1.5"},
                                           {"--speed", "-0.5"},
                                           {"--speed", "nan"}}) {
    std::vector<std::string> args = {"mix", folder.File("song.txt"), folder.File("out.wav")};
    args.insert(args.end(), options.begin(), options.end());
    EXPECT_EQ(RunCli(args).ExitCode, 2) << options[0];
  }
  folder.Write("nomusic.txt", "#TITLE:T\n#ARTIST:A\n#BPM:15\n: 1 2 12 la\nE\n");
  TCliResult run = RunCli({"mix", folder.File("nomusic.txt"), folder.File("out.wav")});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("no music"), std::string::npos) << run.Err;
}

TEST(SpectrogramCommand, DrawsTheStripsSideBySide) {
  TTempFolder folder;
  WriteToneMp3(folder, "tone.mp3", 44100, 2, 10.0, 8000);
  TCliResult run = RunCli({"spectrogram", folder.File("tone.mp3"), folder.File("out.png")});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out, "strips: 2\nsize: 512 x 36\n");
  std::string png = folder.Read("out.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(Be32(png, 16), 512u);
  EXPECT_EQ(Be32(png, 20), 36u);
  folder.Write("bad.mp3", "");
  EXPECT_EQ(RunCli({"spectrogram", folder.File("bad.mp3"), folder.File("bad.png")}).ExitCode, 1);
}

} // namespace
