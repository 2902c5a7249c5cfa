#include "audio/mp3_loader.h"
#include "audio/music_loader.h"
#include "audio_fixtures.h"
#include "support/exceptions.h"

#include <gtest/gtest.h>

namespace {

using songData::TPcmMusic;

TEST(LooksLikeMp3, KnowsATagOrAFrameFromOtherFormats) {
  struct TCase {
    std::string Head;
    bool Mp3;
  };
  const TCase cases[] = {
      {"ID3\x04", true},
      {"\xFF\xFB\x90\x64", true},
      {"\xFF\xF3\x48\x00", true},
      {"\xFF\xF1\x50\x80", false}, // AAC in ADTS: layer 0
      {"\xFF\xEB\x90\x00", false}, // reserved version
      {"\xFF\xFB\xF0\x00", false}, // bad bit rate
      {"\xFF\xFB\x9C\x00", false}, // reserved sample rate
      {"OggS", false},
      {"fLaC", false},
      {"RIFF", false},
      {"", false},
      {"ID", false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(MusicLoader::LooksLikeMp3(c.Head), c.Mp3) << testing::PrintToString(c.Head);
}

TEST(DecodeMusic, SendsMp3ToTheMp3DecoderWithItsProgress) {
  TTempFolder folder;
  const std::string path = folder.File("tone.mp3");
  audiotest::EncodeMp3(path, audiotest::SineSamples(44100, 2, 44100, 440.0, 10000.0), 44100, 2);
  TPcmMusic direct, chosen;
  MP3Loader::DecodeMp3(path, {}, direct);
  int reports = 0;
  float last = 0;
  MusicLoader::TDecodeOptions options;
  options.Progress = [&](float fraction) {
    ++reports;
    last = fraction;
    return true;
  };
  MusicLoader::DecodeMusic(path, options, chosen);
  EXPECT_EQ(chosen.Samples, direct.Samples);
  EXPECT_GT(reports, 0);
  EXPECT_FLOAT_EQ(last, 1.0f);
}

TEST(DecodeMusic, ATaggedFileThatIsNoMp3FailsInTheMp3Decoder) {
  TTempFolder folder;
  folder.Write("tagged.mp3", "ID3" + std::string(1000, 'x'));
  TPcmMusic music;
  try {
    MusicLoader::DecodeMusic(folder.File("tagged.mp3"), MusicLoader::TDecodeOptions{}, music);
    ADD_FAILURE() << "decoded";
  } catch (const MyServis::EError& e) {
    EXPECT_NE(std::string(e.what()).find("MP3"), std::string::npos) << e.what();
  }
}

} // namespace
