// decode: an MP3 into a 16-bit WAV file at its own rate and channel count.
#include "audio/wav_file.h"
#include "cli/command_registry.h"
#include "cli/music_decoding.h"
#include "support/file_io.h"

#include <iostream>

namespace cli {
namespace {

int RunDecode(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("decode");
  const std::shared_ptr<const songData::TPcmMusic> decoded = DecodeMusicFile(args[0]);
  const songData::TPcmMusic& music = *decoded;
  MyServis::WriteFileAtomically(
      args[1], player::WavBytes(music.Samples, music.SampleRate, songData::Channels(music)));
  std::cout << "rate: " << music.SampleRate << " Hz\nchannels: " << songData::Channels(music)
            << "\nframes: " << songData::Frames(music)
            << "\nduration: " << player::SecondsText(songData::MusicDuration(music)) << " s\n";
  return ExitOk;
}

TCommandRegistration reg({"decode", "MP3 OUT.wav",
                          "decodes the music into a WAV file at its own rate and channels",
                          &RunDecode});

} // namespace
} // namespace cli
