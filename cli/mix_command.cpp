// mix: the playback mix of a song rendered offline through the player's own
// mixing code, as the editor would play it from a point of the song.
#include "audio/capture_output.h"
#include "audio/player.h"
#include "audio/wav_file.h"
#include "cli/command_registry.h"
#include "cli/music_load_host.h"
#include "song/song_loader.h"
#include "support/exceptions.h"
#include "support/file_io.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>

namespace cli {
namespace {

using namespace player;

struct TMixOptions {
  std::string Song, Out;
  double From = 0.0;
  std::optional<double> To;
  int Mixer = 4;
  double Speed = 1.0;
};

std::optional<double> ParseSeconds(const std::string& text) {
  double value = 0.0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<TMixOptions> ParseOptions(const std::vector<std::string>& args) {
  TMixOptions options;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--from" || arg == "--to" || arg == "--mixer" || arg == "--speed") {
      if (i + 1 == args.size()) return std::nullopt;
      std::optional<double> value = ParseSeconds(args[++i]);
      if (!value) return std::nullopt;
      if (arg == "--from") options.From = *value;
      if (arg == "--to") options.To = *value;
      if (arg == "--mixer") {
        if (*value < 0 || *value > 10 || *value != std::floor(*value)) return std::nullopt;
        options.Mixer = static_cast<int>(*value);
      }
      if (arg == "--speed") {
        if (!(*value > 0 && *value <= 1)) return std::nullopt;
        options.Speed = *value;
      }
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2 || (options.To && *options.To <= options.From)) return std::nullopt;
  options.Song = files[0];
  options.Out = files[1];
  return options;
}

// Output frames from the start position until the music stops advancing.
std::size_t FramesUntilMusicEnd(const TPlayer& mixer, std::int64_t startPos) {
  const std::int64_t endPos = std::int64_t(mixer.MusicFrames - 2) << 16;
  const std::int64_t step = mixer.MusicStep;
  if (step <= 0 || endPos <= startPos) return 0;
  const double speed = PlaybackSpeed(mixer);
  if (speed < 1.0)
    return static_cast<std::size_t>(std::ceil(double(endPos - startPos) / (double(step) * speed)));
  return static_cast<std::size_t>((endPos - startPos + step - 1) / step);
}

int RunMix(const std::vector<std::string>& args) {
  std::optional<TMixOptions> options = ParseOptions(args);
  if (!options) return UsageError("mix");
  songData::TSong song;
  songData::TUndoHistory history;
  TMusicLoadHost host;
  songData::LoadSongSteps(song, history, options->Song, host);
  if (!song.MusicLoaded) throw MyServis::EError("The song has no music file");

  TPlayer mixer;
  PreparePlayer(mixer, 2205);
  // The editor's player has run with the mixer bar's gains long before Play.
  SetMusicVolume(mixer, 100 - 10 * options->Mixer);
  SetToneMix(mixer, 10 * options->Mixer);
  std::unique_ptr<TAudioOutput> idle = MakeNullOutput();
  RenderBuffers(mixer, *idle, 100);

  SetPlaybackSpeed(mixer, options->Speed);
  if (PlaybackSpeed(mixer) != options->Speed)
    std::cerr << "The slowest speed is " << PlaybackSpeed(mixer) << ": mixing at that\n";
  PublishPlayerSong(mixer, song);
  PlayMusic(mixer, host.Music, static_cast<float>(options->From - song.MusicOffset));
  const std::int64_t startPos = mixer.MusicPos;
  TCaptureOutput capture;
  capture.Open(mixer.BufferFrames);
  while (PlayerState(mixer) != psFinished &&
         !(options->To && PlayPositionSeconds(mixer) + song.MusicOffset >= *options->To))
    RenderBuffers(mixer, capture, 1);
  // The mix ends with the music, or at --to, not at the end of the last buffer.
  capture.Truncate(FramesUntilMusicEnd(mixer, startPos));
  if (options->To) {
    // Song time where the mix starts: the music's own start when --from lies before it.
    const double start = std::max(options->From, song.MusicOffset);
    capture.Truncate(static_cast<std::size_t>(
        std::max(0.0, std::nearbyint((*options->To - start) / PlaybackSpeed(mixer) * OutputRate))));
  }
  StopMusic(mixer);

  MyServis::WriteFileAtomically(options->Out, WavBytes(capture.Samples(), OutputRate, 2));
  std::cout << "frames: " << capture.FrameCount()
            << "\nduration: " << SecondsText(static_cast<double>(capture.FrameCount()) / OutputRate)
            << " s\n";
  return ExitOk;
}

TCommandRegistration reg(
    {"mix", "SONG OUT.wav [--from SECONDS] [--to SECONDS] [--mixer 0..10] [--speed 0..1]",
     "renders the playback mix of music and syllable tones, slowed at speeds below 1", &RunMix});

} // namespace
} // namespace cli
