// Any bytes as an MP3 file: decoding fails with a message or gives whole frames.
#include "audio/mp3_loader.h"
#include "support/file_io.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    char pattern[] = "/tmp/chorvanta-fuzz-XXXXXX";
    return std::string(::mkdtemp(pattern)) + "/fuzz.mp3";
  }();
  MyServis::WriteFileAtomically(path, std::string(reinterpret_cast<const char*>(data), size));
  songData::TPcmMusic music;
  try {
    MP3Loader::DecodeMp3(
        path, [] {}, music);
  } catch (const std::exception&) {
    return 0;
  }
  if (music.Samples.size() % (music.Stereo ? 2 : 1) != 0) std::abort();
  return 0;
}
