// tempo: the music's tempo and first beat, for a song's #BPM and #GAP, as JSON.
#include "audio/tempo_detector.h"
#include "cli/command_registry.h"
#include "cli/music_decoding.h"
#include "support/number_text.h"

#include <iostream>

namespace cli {
namespace {

std::string Number(double value, int digits) {
  return MyServis::FormatGeneral(value, digits, '.');
}

int RunTempo(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("tempo");
  // Without a progress procedure the detection always runs to the end.
  const tempo::TTempoEstimate found = tempo::DetectTempo(*DecodeMusicFile(args[0])).value();
  std::cout << "{\"bpm\": " << Number(found.Bpm, 7) << ", \"gap_ms\": " << Number(found.GapMs, 7)
            << ", \"confidence\": " << Number(found.Confidence, 3) << ", \"alternatives\": [";
  for (std::size_t i = 0; i < found.Alternatives.size(); ++i)
    std::cout << (i ? ", " : "") << Number(found.Alternatives[i], 7);
  std::cout << "]}\n";
  return ExitOk;
}

TCommandRegistration reg({"tempo", "MUSIC",
                          "finds the music's tempo and first beat (#BPM and #GAP) as JSON",
                          &RunTempo});

} // namespace
} // namespace cli
