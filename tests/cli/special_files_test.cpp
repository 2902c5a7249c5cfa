// Inputs that could block or grow without end, and outputs that are not plain
// files: a FIFO is refused as input at once and written in place as output, a
// symbolic link is written through, and music is taken up to its limits.
#include "audio/audio_fixtures.h"
#include "cli/cli_runner.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Enough for a command that refuses at once, far too little for one that waits.
constexpr int GuardSeconds = 20;

TEST(SpecialInputs, AFifoIsRefusedAtOnceAsSongAndAsMusic) {
  TTempFolder folder;
  ASSERT_EQ(::mkfifo(folder.File("song.txt").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(folder.File("music.mp3").c_str(), 0644), 0);
  TCliResult check = RunCli({"check", folder.File("song.txt")}, GuardSeconds);
  EXPECT_EQ(check.ExitCode, 1);
  EXPECT_NE(check.Out.find("It is not a regular file."), std::string::npos) << check.Out;
  TCliResult decode =
      RunCli({"decode", folder.File("music.mp3"), folder.File("out.wav")}, GuardSeconds);
  EXPECT_EQ(decode.ExitCode, 1);
  EXPECT_NE(decode.Err.find("It is not a regular file."), std::string::npos) << decode.Err;
}

TEST(SpecialInputs, MusicIsRefusedOrCutAtThreeHours) {
  TTempFolder folder;
  ASSERT_TRUE(audiotest::WriteThreeHoursAndASecond(folder.Path()));
  TCliResult told = RunCli({"decode", folder.File("told.wav"), folder.File("told-out.wav")});
  EXPECT_EQ(told.ExitCode, 1);
  EXPECT_EQ(told.Err, "The music is longer than 3 hours, the most that can be loaded.\n");
  EXPECT_FALSE(folder.Exists("told-out.wav"));
  TCliResult cut = RunCli({"decode", folder.File("stream.wav"), folder.File("cut.wav")});
  EXPECT_EQ(cut.ExitCode, 0) << cut.Err;
  EXPECT_EQ(cut.Err,
            folder.File("stream.wav") +
                ": warning: The music is longer than 3 hours and was cut at that length.\n");
  EXPECT_NE(cut.Out.find("frames: 10800000\n"), std::string::npos) << cut.Out;
}

// Collects what a command writes into a FIFO. A writer of its own keeps the
// FIFO open until Finish, so the reader sees the end only after the command's.
class TFifoReader {
public:
  explicit TFifoReader(const std::string& path) {
    if (::mkfifo(path.c_str(), 0644) != 0) return;
    readFd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    holdFd_ = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    thread_ = std::thread([this] { Read(); });
  }
  ~TFifoReader() { Finish(); }
  bool Ready() const { return readFd_ >= 0 && holdFd_ >= 0; }
  std::string Finish() {
    if (holdFd_ >= 0) ::close(holdFd_);
    holdFd_ = -1;
    if (thread_.joinable()) thread_.join();
    if (readFd_ >= 0) ::close(readFd_);
    readFd_ = -1;
    return bytes_;
  }

private:
  void Read() {
    char buffer[65536];
    for (;;) {
      pollfd wait{readFd_, POLLIN, 0};
      ::poll(&wait, 1, 100);
      const ssize_t got = ::read(readFd_, buffer, sizeof buffer);
      if (got > 0) bytes_.append(buffer, static_cast<std::size_t>(got));
      if (got == 0) return; // every writer closed, its own included
    }
  }
  int readFd_ = -1, holdFd_ = -1;
  std::string bytes_;
  std::thread thread_;
};

struct TOutputCase {
  std::string Name;
  std::vector<std::string> Args; // OUT stands for the output
};

void PrintTo(const TOutputCase& c, std::ostream* out) {
  *out << c.Name;
}

class SpecialOutputs : public ::testing::TestWithParam<TOutputCase> {
protected:
  void SetUp() override {
    audiotest::EncodeMp3(folder.File("music.mp3"),
                         audiotest::SineSamples(22050, 1, 22050, 440.0, 8000.0), 22050, 1);
    folder.Write("song.txt", "#TITLE:T\n#ARTIST:A\n#MP3:music.mp3\n#BPM:60\n#GAP:0\n"
                             ": 1 1 12 la\nE\n");
  }
  TCliResult Run(const std::string& out) {
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().Args)
      args.push_back(arg == "OUT" ? out : arg == "SONG" ? folder.File("song.txt") : arg);
    return RunCli(args, GuardSeconds);
  }
  TTempFolder folder;
};

TEST_P(SpecialOutputs, ASymlinkIsWrittenThroughAndStaysALink) {
  ASSERT_EQ(Run(folder.File("plain.out")).ExitCode, 0);
  folder.Write("target.out", "old");
  fs::create_symlink("target.out", folder.File("link.out"));
  TCliResult run = Run(folder.File("link.out"));
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_TRUE(fs::is_symlink(folder.File("link.out")));
  EXPECT_EQ(folder.Read("target.out"), folder.Read("plain.out"));
}

TEST_P(SpecialOutputs, AFifoIsWrittenInPlace) {
  ASSERT_EQ(Run(folder.File("plain.out")).ExitCode, 0);
  TFifoReader reader(folder.File("fifo.out"));
  ASSERT_TRUE(reader.Ready());
  TCliResult run = Run(folder.File("fifo.out"));
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(reader.Finish(), folder.Read("plain.out"));
  struct stat st {};
  ASSERT_EQ(::lstat(folder.File("fifo.out").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

INSTANTIATE_TEST_SUITE_P(Commands, SpecialOutputs,
                         ::testing::Values(TOutputCase{"Mix", {"mix", "SONG", "OUT"}},
                                           TOutputCase{"Normalize", {"normalize", "SONG", "OUT"}}),
                         [](const auto& info) { return info.param.Name; });

} // namespace
