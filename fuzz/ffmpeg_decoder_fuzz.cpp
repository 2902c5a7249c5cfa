// Any bytes as a music file for FFmpeg (Ogg, FLAC, WAV, M4A and whatever else
// its probe recognises): decoding fails with a message or gives whole frames.
#include "audio/ffmpeg_decoder.h"
#include "audio/music_loader.h"
#include "decoded_audio_cap.h"
#include "fuzz_folder.h"
#include "support/file_io.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Larger files only take longer.
constexpr std::size_t MaxInputBytes = 64 * 1024;
// Far above what any real codec makes from a byte, plus a second at 48 kHz
// for the tiniest files.
constexpr std::int64_t FramesPerByte = 64;
constexpr std::int64_t FramesAtLeast = 48000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > MaxInputBytes) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  MusicLoader::LooksLikeMp3(bytes.substr(0, 4));
  const std::string path = FuzzFolder() + "/fuzz.music";
  MyServis::WriteFileAtomically(path, bytes);
  SetDecodedAudioBudget(FramesAtLeast + FramesPerByte * static_cast<std::int64_t>(size));
  songData::TPcmMusic music;
  try {
    MusicLoader::DecodeWithFfmpeg(path, {}, music);
  } catch (const std::exception&) {
    if (!music.Samples.empty()) std::abort(); // a failure leaves the music as it was
    return 0;
  }
  if (music.Samples.empty() || music.SampleRate <= 0) std::abort();
  if (music.Samples.size() % (music.Stereo ? 2 : 1) != 0) std::abort();
  return 0;
}
