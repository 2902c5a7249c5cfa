// render: a song drawn as the editor's note view shows it, into a PNG.
#include "audio/analyser.h"
#include "audio/pitch_tracker.h"
#include "cli/command_registry.h"
#include "cli/music_decoding.h"
#include "cli/music_load_host.h"
#include "editor/note_view.h"
#include "editor/timeline.h"
#include "editor/view_coordinates.h"
#include "song/song_loader.h"
#include "support/exceptions.h"
#include "support/file_io.h"

#include <QBuffer>
#include <QGuiApplication>
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>

namespace cli {
namespace {

// Larger pictures than this are refused rather than allocated.
constexpr int LargestSide = 8192;

struct TRenderOptions {
  std::string Song, Out;
  int Width = 814, Height = 560; // the view at the window's start size
  double At = 0.0;
  bool SungPitch = false;
};

template <typename T> bool ParseWhole(std::string_view text, T& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseSize(std::string_view text, int& width, int& height) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos || !ParseWhole(text.substr(0, x), width) ||
      !ParseWhole(text.substr(x + 1), height))
    return false;
  return width > 0 && height > 0 && width <= LargestSide && height <= LargestSide;
}

std::optional<TRenderOptions> ParseOptions(const std::vector<std::string>& args) {
  TRenderOptions options;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--sung-pitch") {
      options.SungPitch = true;
    } else if (arg == "--size" || arg == "--at") {
      if (i + 1 == args.size()) return std::nullopt;
      const std::string& value = args[++i];
      if (arg == "--size" && !ParseSize(value, options.Width, options.Height)) return std::nullopt;
      if (arg == "--at" && (!ParseWhole(value, options.At) || !std::isfinite(options.At)))
        return std::nullopt;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return std::nullopt;
  options.Song = files[0];
  options.Out = files[1];
  return options;
}

std::string PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw MyServis::EError("Cannot encode the picture as PNG");
  return bytes.toStdString();
}

int RunRender(const std::vector<std::string>& args) {
  std::optional<TRenderOptions> options = ParseOptions(args);
  if (!options) return UsageError("render");
  // Fonts need an application object; there is no window to show.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "chorvanta-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  songData::TSong song;
  songData::TUndoHistory history;
  TMusicLoadHost host;
  songData::LoadSongSteps(song, history, options->Song, host);
  const std::shared_ptr<const songData::TPcmMusic>& music = host.Music;

  analyser::TAnalyser analyser;
  if (music) {
    EventMan::TEventManager events; // nobody listens to the progress here
    analyser::CreateSpectrumStrips(analyser, *music);
    analyser::StartAnalysers(analyser, music, events);
    analyser::WaitForAnalysers(analyser);
  }

  // The line is tracked from the vocals recording the song names, else the music.
  std::optional<pitch::TPitchContour> contour;
  if (options->SungPitch) {
    const std::string vocalsPath = songData::FindVocalsFile(song);
    const std::shared_ptr<const songData::TPcmMusic> recording =
        vocalsPath.empty() ? music : DecodeMusicFile(vocalsPath);
    contour = recording ? pitch::TrackPitch(*recording) : pitch::TrackPitch(songData::TPcmMusic{});
  }

  editor::TViewState view;
  const editor::TTimeline timeline = editor::TimelineOf(song, songData::MusicDuration(music));
  editor::ApplyBeatScale(view, song.BPM);
  editor::ApplyTimeline(view, timeline);
  editor::SetScrollPosition(view, editor::Nearest(options->At * 10));
  QImage image(options->Width, options->Height, QImage::Format_RGB32);
  editor::DrawView(image, song, view, analyser.SpectrumStrips, timeline.Length,
                   contour ? &*contour : nullptr);
  MyServis::WriteFileAtomically(options->Out, PngBytes(image));

  std::cout << "size: " << image.width() << " x " << image.height()
            << "\nscroll: " << view.ScrollPosition << "\nnotes: " << song.Notes.size()
            << "\ntranspose: " << song.Transpose << "\nstrips: " << analyser.SpectrumStrips.size()
            << '\n';
  return ExitOk;
}

TCommandRegistration reg({"render", "SONG OUT.png [--size WxH] [--at SECONDS] [--sung-pitch]",
                          "draws the song as the note view shows it", &RunRender});

} // namespace
} // namespace cli
