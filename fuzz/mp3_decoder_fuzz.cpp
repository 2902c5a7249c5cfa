// Any bytes as an MP3 file: decoding fails with a message or gives whole frames.
#include "audio/mp3_loader.h"
#include "fuzz_folder.h"
#include "support/file_io.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// Larger files only take longer; every frame kind fits in this.
constexpr std::size_t MaxInputBytes = 64 * 1024;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > MaxInputBytes) return 0;
  const std::string path = FuzzFolder() + "/fuzz.mp3";
  MyServis::WriteFileAtomically(path, std::string(reinterpret_cast<const char*>(data), size));
  songData::TPcmMusic music;
  int progressCalls = 0;
  try {
    MusicLoader::TDecodeOptions options;
    options.Progress = [&progressCalls](float) { return ++progressCalls > 0; };
    MP3Loader::DecodeMp3(path, options, music);
  } catch (const std::exception&) {
    if (!music.Samples.empty()) std::abort(); // a failure leaves the music as it was
    return 0;
  }
  if (music.Samples.empty() || music.SampleRate <= 0) std::abort();
  if (music.Samples.size() % (music.Stereo ? 2 : 1) != 0) std::abort();
  if (progressCalls > static_cast<int>(size / MP3Loader::DecodeChunkBytes) + 2) std::abort();
  return 0;
}
