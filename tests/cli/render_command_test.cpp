#include "audio/audio_fixtures.h"
#include "cli/cli_runner.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Two notes high enough for the loader to transpose them an octave down, at
// 125 BPM (15 pixels per beat); with --at 0 beat b lies at x = 15 b.
class RenderCommand : public testing::Test {
protected:
  void WriteSong(bool withMusic) {
    if (withMusic)
      audiotest::EncodeMp3(folder.File("music.mp3"),
                           audiotest::SineSamples(44100, 2, 441000, 440.0, 8000), 44100, 2);
    folder.Write("song.txt", "#TITLE:T\n#ARTIST:A\n#MP3:music.mp3\n#BPM:125\n#GAP:0\n"
                             ": 4 4 30 la\n- 10\n: 12 4 28 lo\nE\n");
  }
  TCliResult Render(std::vector<std::string> options) {
    std::vector<std::string> args = {"render", folder.File("song.txt"), folder.File("out.png")};
    args.insert(args.end(), options.begin(), options.end());
    return RunCli(args);
  }
  QImage Picture() const { return QImage(QString::fromStdString(folder.File("out.png"))); }

  TTempFolder folder;
};

// Whether a column shows anything but the empty grid inside the rows.
bool ColumnShowsMusic(const QImage& image, int x) {
  for (int row = 0; row < 35; ++row)
    if ((image.pixel(x, 10 + 14 * row + 7) & 0xFFFFFF) != 0x202020) return true;
  return false;
}

TEST_F(RenderCommand, DrawsTheNotesOverTheSpectrogram) {
  for (bool withMusic : {false, true}) {
    WriteSong(withMusic);
    TCliResult run = Render({});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, std::string("size: 814 x 560\nscroll: 0\nnotes: 3\ntranspose: -12\n"
                                   "strips: ") +
                           (withMusic ? "2" : "0") + "\n");
    const QImage image = Picture();
    ASSERT_EQ(image.size(), QSize(814, 560));
    // Tone 18 after the transpose: row 11, from y = 164.
    EXPECT_EQ(image.pixel(90, 171) & 0xFFFFFF, 0x80A090u);
    EXPECT_EQ(image.pixel(400, 5) & 0xFFFFFF, 0x63706Cu);
    EXPECT_EQ(ColumnShowsMusic(image, 307), withMusic);
  }
}

TEST_F(RenderCommand, TakesSizeAndTimeWithinTheScrollRange) {
  WriteSong(true);
  struct TCase {
    std::vector<std::string> Options;
    const char* Size;
    int Scroll;
  };
  // Ten seconds of music: the scroll range ends at nearest((-2 + 20 + 5) * 10).
  for (const TCase& c :
       {TCase{{"--size", "400x300", "--at", "2.04"}, "400 x 300", 20},
        TCase{{"--at", "1000"}, "814 x 560", 230}, TCase{{"--at", "-9"}, "814 x 560", -35}}) {
    TCliResult run = Render(c.Options);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_NE(run.Out.find(std::string("size: ") + c.Size +
                           "\nscroll: " + std::to_string(c.Scroll) + "\n"),
              std::string::npos)
        << run.Out;
  }
  EXPECT_EQ(Picture().size(), QSize(814, 560));
}

TEST_F(RenderCommand, RefusesBadOptionsAndMissingSongs) {
  WriteSong(false);
  for (std::vector<std::string> options : {std::vector<std::string>{"--size", "0x5"},
                                           {"--size", "10"},
                                           {"--size", "9000x10"},
                                           {"--size", "10x-3"},
                                           {"--at", "x"},
                                           {"--at", "nan"},
                                           {"--at"},
                                           {"extra"}})
    EXPECT_EQ(Render(options).ExitCode, 2) << options[0];
  TCliResult missing = RunCli({"render", folder.File("none.txt"), folder.File("out.png")});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_FALSE(folder.Exists("out.png"));
}

} // namespace
