#include "audio/audio_output.h"
#include "audio_fixtures.h"
#include "support/file_io.h"
#include "support/log.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace player;

TEST(NullOutput, FinishesWhatWasWrittenAndNothingMore) {
  std::unique_ptr<TAudioOutput> output = MakeNullOutput();
  output->Open(441); // 10 ms buffers
  std::int16_t frames[2 * 441] = {};
  output->Write(frames, 441);
  output->Write(frames, 441);
  EXPECT_TRUE(output->WaitBufferDone(std::chrono::milliseconds(80)));
  EXPECT_TRUE(output->WaitBufferDone(std::chrono::milliseconds(80)));
  EXPECT_FALSE(output->WaitBufferDone(std::chrono::milliseconds(1)));
  output->Close();
}

TEST(DeviceOutput, WithoutADevicePlaysSilentlyAndSaysSo) {
  TTempFolder folder;
  MyServis::OpenLog(folder.File("main.log"));
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  std::unique_ptr<TAudioOutput> output = MakeDeviceOutput();
  output->Open(441);
  std::int16_t frames[2 * 441] = {};
  output->Write(frames, 441);
  EXPECT_TRUE(output->WaitBufferDone(std::chrono::milliseconds(80)));
  output->Close();
  unsetenv("SDL_AUDIODRIVER");
  std::string log = MyServis::ReadFileBytes(folder.File("main.log"));
  MyServis::OpenLog("");
  EXPECT_NE(log.find("No sound device: playing silently"), std::string::npos) << log;
}

TEST(DeviceOutput, TakesBuffersAsTheDevicePlaysThem) {
  TTempFolder folder;
  MyServis::OpenLog(folder.File("main.log"));
  setenv("SDL_AUDIODRIVER", "dummy", 1); // a device that plays in silence at the real pace
  std::unique_ptr<TAudioOutput> output = MakeDeviceOutput();
  output->Open(441);
  std::int16_t frames[2 * 441] = {};
  output->Write(frames, 441);
  output->Write(frames, 441);
  EXPECT_TRUE(output->WaitBufferDone(std::chrono::milliseconds(80)));
  output->Close();
  unsetenv("SDL_AUDIODRIVER");
  std::string log = MyServis::ReadFileBytes(folder.File("main.log"));
  MyServis::OpenLog("");
  EXPECT_EQ(log.find("No sound device"), std::string::npos) << log;
}

} // namespace
