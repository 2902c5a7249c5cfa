// pitch: what the singer sings on every note of a song, tracked from its vocals
// recording (or the music), as JSON.
#include "audio/pitch_suggestion.h"
#include "cli/command_registry.h"
#include "cli/json_text.h"
#include "cli/music_decoding.h"
#include "cli/music_load_host.h"
#include "song/time_scale.h"

#include <cstdio>
#include <iostream>
#include <optional>

namespace cli {
namespace {

struct TPitchOptions {
  std::string Song, Vocals;
  bool Contour = false;
};

std::optional<TPitchOptions> ParseOptions(const std::vector<std::string>& args) {
  TPitchOptions options;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--contour") {
      options.Contour = true;
    } else if (args[i] == "--vocals") {
      if (i + 1 == args.size()) return std::nullopt;
      options.Vocals = args[++i];
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 1) return std::nullopt;
  options.Song = files[0];
  return options;
}

std::string Number(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void PrintNotes(const songData::TSong& song, const pitch::TPitchContour& contour) {
  std::cout << "\"notes\": [";
  bool first = true;
  for (const songData::TNote& note : song.Notes) {
    if (!note.IsSyllable()) continue;
    const pitch::TSungNote sung = pitch::SungNote(contour, song, note);
    std::cout << (first ? "\n    " : ",\n    ") << "{\"start\": " << note.Start
              << ", \"length\": " << note.Length << ", \"pitch\": " << note.Pitch
              << ", \"suggested\": "
              << (sung.Suggested ? std::to_string(*sung.Suggested) : std::string("null"))
              << ", \"confidence\": " << Number(sung.Confidence, 3)
              << ", \"text\": " << JsonString(note.Text.View()) << "}";
    first = false;
  }
  std::cout << (first ? "]" : "\n  ]");
}

void PrintContour(const songData::TSong& song, const pitch::TPitchContour& contour) {
  std::cout << ",\n  \"contour\": [";
  for (std::size_t b = 0; b < contour.Points.size(); ++b) {
    const pitch::TPitchPoint& point = contour.Points[b];
    const double songTime = (double(b) + 0.5) * contour.BlockSeconds + song.MusicOffset;
    std::cout << (b ? ",\n    " : "\n    ") << "{\"t\": " << Number(songTime, 4)
              << ", \"hz\": " << (point.Confident() ? Number(point.Hz, 2) : std::string("null"))
              << ", \"confidence\": " << Number(point.Confidence, 3) << "}";
  }
  std::cout << (contour.Points.empty() ? "]" : "\n  ]");
}

int RunPitch(const std::vector<std::string>& args) {
  const std::optional<TPitchOptions> options = ParseOptions(args);
  if (!options) return UsageError("pitch");
  songData::TSong song;
  songData::TUndoHistory history;
  TMusicLoadHost host;
  songData::LoadSongSteps(song, history, options->Song, host);
  const std::string vocalsPath =
      options->Vocals.empty() ? songData::FindVocalsFile(song) : options->Vocals;
  const std::shared_ptr<const songData::TPcmMusic> recording =
      vocalsPath.empty() ? host.Music : DecodeMusicFile(vocalsPath);
  if (!recording || recording->Samples.empty()) {
    std::cerr << "chorvanta-cli: " << options->Song << ": no music or vocals to track\n";
    return ExitFailure;
  }
  const pitch::TPitchContour contour = pitch::TrackPitch(*recording).value();
  std::cout << "{\n  \"tracked\": " << JsonString(vocalsPath.empty() ? "music" : "vocals")
            << ",\n  ";
  PrintNotes(song, contour);
  if (options->Contour) PrintContour(song, contour);
  std::cout << "\n}\n";
  return ExitOk;
}

TCommandRegistration reg({"pitch", "SONG [--vocals FILE] [--contour]",
                          "prints the sung pitch of every note, and its contour, as JSON",
                          &RunPitch});

} // namespace
} // namespace cli
