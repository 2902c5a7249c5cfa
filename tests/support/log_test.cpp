#include "common/temp_folder.h"
#include "support/log.h"
#include "support/message_boxes.h"
#include "support/runtime_errors.h"
#include "support/string_utils.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

using namespace MyServis;

namespace {

class Log : public testing::Test {
protected:
  void TearDown() override {
    LogState.LogLevel = 1;
    LogState.LogFileName.clear();
    LogState.Channels.reset();
    SetMessageBoxHook(nullptr);
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines = Explode("\r\n", Folder.Read("main.log"));
    lines.pop_back(); // after the last CR LF
    return lines;
  }
  TTempFolder Folder;
};

TEST_F(Log, LineIsUtcTimeTwoSpacesAndTheMessage) {
  EXPECT_EQ(LogLine(((13 * 60 + 5) * 60 + 7) * 1000 + 42, "Ready"), "13:05:07.042  Ready");
  EXPECT_EQ(FormatLogTime(0), "00:00:00.000");
}

TEST_F(Log, OpenStartsAnewWithTheProgramTimeThenAppendsLines) {
  Folder.Write("main.log", "old content\r\n");
  OpenLog(Folder.File("main.log"));
  LogMessage("first");
  LogMessage("second");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d)"))) << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\d\d:\d\d:\d\d\.\d{3}  first)")))
      << lines[1];
  EXPECT_EQ(lines[2].substr(14), "second");
}

TEST_F(Log, LevelsAndChannels) {
  OpenLog(Folder.File("main.log"));
  LogChannelMessage("hidden at level 1", 0);
  LogState.LogLevel = 2;
  LogChannelMessage("plain", 0);
  LogChannelMessage("channel off", 3);
  SetLogChannel(3, true);
  LogChannelMessage("channel on", 3);
  LogState.LogLevel = 0;
  LogMessage("level 0");
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(14), "plain");
  EXPECT_EQ(lines[2].substr(14), "[3] channel on");
}

TEST_F(Log, UnopenableLogSwitchesLoggingOff) {
  OpenLog(Folder.File("no/such/folder/main.log"));
  EXPECT_TRUE(LogState.LogFileName.empty());
  EXPECT_NO_THROW(LogMessage("dropped"));
}

TEST_F(Log, WriteFailuresReachTheCallerOrAnErrorBox) {
  OpenLog(Folder.File("main.log"));
  std::filesystem::remove(Folder.File("main.log"));
  std::filesystem::create_directory(Folder.File("main.log"));
  EXPECT_THROW(LogMessage("lost"), EInOutError);
  std::vector<std::string> boxes;
  SetMessageBoxHook([&](const std::string& text, const std::string& caption, TMessageStyle) {
    boxes.push_back(caption + "|" + text);
    return TMessageResult::mrOK;
  });
  LogState.LogLevel = 2;
  LogChannelMessage("lost too", 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].substr(0, 6), "Error|");
}

TEST_F(Log, LinesFromManyThreadsNeverInterleave) {
  OpenLog(Folder.File("main.log"));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i)
        LogMessage("thread " + std::to_string(t) + " line " + std::to_string(i));
    });
  }
  for (auto& thread : threads)
    thread.join();
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 201u);
  for (std::size_t i = 1; i < lines.size(); ++i)
    EXPECT_TRUE(
        std::regex_match(lines[i], std::regex(R"(\d\d:\d\d:\d\d\.\d{3}  thread \d line \d+)")));
}

} // namespace
