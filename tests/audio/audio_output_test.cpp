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

// Writes buffers to the sound device under the SDL driver given; returns the log.
std::string PlayOnDevice(const char* driver, int buffers) {
  TTempFolder folder;
  MyServis::OpenLog(folder.File("main.log"));
  setenv("SDL_AUDIODRIVER", driver, 1);
  std::unique_ptr<TAudioOutput> output = MakeDeviceOutput();
  output->Open(441);
  std::int16_t frames[2 * 441] = {};
  for (int i = 0; i < buffers; ++i)
    output->Write(frames, 441);
  EXPECT_TRUE(output->WaitBufferDone(std::chrono::milliseconds(80)));
  output->Close();
  unsetenv("SDL_AUDIODRIVER");
  std::string log = MyServis::ReadFileBytes(folder.File("main.log"));
  MyServis::OpenLog("");
  return log;
}

TEST(DeviceOutput, WithoutADevicePlaysSilentlyAndSaysSo) {
  std::string log = PlayOnDevice("no-such-driver", 1);
  EXPECT_NE(log.find("No sound device: playing silently"), std::string::npos) << log;
}

TEST(DeviceOutput, TakesBuffersAsTheDevicePlaysThem) {
  // The dummy driver plays in silence at the real pace.
  std::string log = PlayOnDevice("dummy", 2);
  EXPECT_EQ(log.find("No sound device"), std::string::npos) << log;
}

} // namespace
