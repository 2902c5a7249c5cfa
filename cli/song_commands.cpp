// check, dump and normalize: song files read and written exactly as the editor does.
#include "cli/command_registry.h"
#include "cli/json_text.h"
#include "song/song_loader.h"
#include "song/song_reader.h"
#include "song/song_writer.h"
#include "song/time_scale.h"
#include "support/file_io.h"
#include "support/number_text.h"

#include <iostream>
#include <sys/stat.h>

namespace cli {
namespace {

using namespace songData;

// The editor's load without music, window or settings; it keeps what reading reports.
class TQuietLoadHost : public TSongLoadHost {
public:
  void ReportReading(const TReadingReport& report) override { Report = report; }
  TReadingReport Report;
};

TSong LoadWithoutMusic(const std::string& path, TReadingReport* report = nullptr) {
  TSong song;
  TUndoHistory history;
  TQuietLoadHost host;
  LoadSongSteps(song, history, path, host);
  if (report) *report = host.Report;
  return song;
}

int RunCheck(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("check");
  int status = ExitOk;
  for (const std::string& path : args) {
    try {
      TReadingReport report;
      TSong song = LoadWithoutMusic(path, &report);
      std::size_t breaks = 0;
      for (const TNote& note : song.Notes)
        breaks += note.Kind == nkLineBreak;
      std::cout << path << ": ok: " << song.Notes.size() - breaks << " notes, " << breaks
                << " line breaks, BPM " << MyServis::FormatShortest(song.BPM) << ", GAP "
                << MyServis::FormatRounded(GapMillisecondsOf(song.MusicOffset)) << " ms\n";
      // What a save would change is worth knowing, but the file did load.
      for (const std::string& notice : ReadingNotices(report))
        std::cout << path << ": warning: " << notice << '\n';
    } catch (const ESongReadError& e) {
      std::cout << path << ": error: " << e.what();
      if (e.Line > 0) std::cout << " (line " << e.Line << ")";
      std::cout << '\n';
      status = ExitFailure;
    }
  }
  return status;
}

void PrintNote(std::ostream& out, const TNote& note) {
  static constexpr const char* Kinds[] = {"?", ":", "*", "F", "-", "R", "G"};
  out << "{\"kind\": \""
      << (note.Kind >= nkNormal && note.Kind <= nkRapGolden ? Kinds[note.Kind] : "?")
      << "\", \"voice\": " << (note.Voice == SecondVoice ? 2 : 1) << ", \"start\": " << note.Start
      << ", \"length\": " << note.Length << ", \"pitch\": " << note.Pitch
      << ", \"text\": " << JsonString(note.Text.View()) << ", \"text_hex\": \""
      << HexBytes(note.Text.View()) << "\"}";
}

int RunDump(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("dump");
  TSong song = LoadWithoutMusic(args[0]);
  std::ostream& out = std::cout;
  out << "{\n  \"use_bom\": " << (song.UseBOM ? "true" : "false")
      << ",\n  \"bpm\": " << MyServis::FormatShortest(song.BPM)
      << ",\n  \"music_offset\": " << MyServis::FormatShortest(song.MusicOffset)
      << ",\n  \"video_gap\": " << MyServis::FormatShortest(song.VideoGap)
      << ",\n  \"transpose\": " << song.Transpose << ",\n  \"tags\": [";
  for (std::size_t i = 0; i < song.Tags.size(); ++i)
    out << (i ? ",\n    " : "\n    ") << JsonString(song.Tags[i]);
  out << (song.Tags.empty() ? "],\n" : "\n  ],\n") << "  \"notes\": [";
  for (std::size_t i = 0; i < song.Notes.size(); ++i) {
    out << (i ? ",\n    " : "\n    ");
    PrintNote(out, song.Notes[i]);
  }
  out << (song.Notes.empty() ? "]\n" : "\n  ]\n") << "}\n";
  return ExitOk;
}

// Whether two paths name one file, also through another spelling or a link.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

int RunNormalize(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  bool force = false;
  for (const std::string& arg : args) {
    if (arg == "--force")
      force = true;
    else
      files.push_back(arg);
  }
  if (files.size() != 2) return UsageError("normalize");
  const std::string& in = files[0];
  const std::string& out = files[1];
  TReadingReport report;
  TSong song = LoadWithoutMusic(in, &report);
  for (const std::string& notice : ReadingNotices(report))
    std::cerr << in << ": warning: " << notice << '\n';
  // The lines the load did not keep exist only in the input: writing over it loses them.
  if (report.DropsLines() && !force && SameFile(in, out)) {
    const std::size_t lost =
        report.UnreadLines.size() + report.BeyondLimitLines.size() + report.AfterEndLines.size();
    std::cerr << in << ": not written over: the " << lost << (lost == 1 ? " line" : " lines")
              << " not read would be lost; give --force to write over it anyway\n";
    return ExitFailure;
  }
  MyServis::WriteFileAtomically(out, SongFileText(song));
  return ExitOk;
}

TCommandRegistration checkCommand({"check", "FILE...",
                                   "read each song file and report its notes or its error",
                                   &RunCheck});
TCommandRegistration dumpCommand({"dump", "FILE", "print the loaded song as JSON", &RunDump});
TCommandRegistration normalizeCommand({"normalize", "IN OUT [--force]",
                                       "load IN and write OUT as the editor's Save would; "
                                       "--force writes over IN even when lines of it were not read",
                                       &RunNormalize});

} // namespace
} // namespace cli
