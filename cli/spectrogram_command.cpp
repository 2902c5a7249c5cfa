// spectrogram: the analyser's strips of an MP3 side by side in one PNG.
#include "audio/analyser.h"
#include "cli/command_registry.h"
#include "cli/music_decoding.h"

#include <QImage>
#include <iostream>

namespace cli {
namespace {

int RunSpectrogram(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("spectrogram");
  const std::shared_ptr<const songData::TPcmMusic> music = DecodeMusicFile(args[0]);
  analyser::TAnalyser strips;
  EventMan::TEventManager events; // nobody listens to the progress here
  analyser::CreateSpectrumStrips(strips, *music);
  analyser::StartAnalysers(strips, music, events);
  analyser::WaitForAnalysers(strips);

  const int count = static_cast<int>(strips.SpectrumStrips.size());
  QImage image(count * analyser::StripWidth, analyser::StripHeight, QImage::Format_RGB32);
  for (int s = 0; s < count; ++s)
    for (int row = 0; row < analyser::StripHeight; ++row) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(row)) + s * analyser::StripWidth;
      for (int column = 0; column < analyser::StripWidth; ++column)
        line[column] = 0xFF000000u | strips.SpectrumStrips[s].Pixel(column, row);
    }
  if (!image.save(QString::fromStdString(args[1]), "PNG")) {
    std::cerr << "Cannot write " << args[1] << '\n';
    return ExitFailure;
  }
  std::cout << "strips: " << count << "\nsize: " << image.width() << " x " << image.height()
            << '\n';
  return ExitOk;
}

TCommandRegistration reg({"spectrogram", "MP3 OUT.png",
                          "draws the music's spectrogram strips side by side", &RunSpectrogram});

} // namespace
} // namespace cli
