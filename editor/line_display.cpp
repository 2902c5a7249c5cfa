#include "editor/line_display.h"

#include "editor/canvas.h"
#include "song/lyrics_text.h"
#include "song/time_scale.h"

#include <QFontMetrics>
#include <vector>

namespace editor {
namespace {

using songData::TNote;
using songData::TSong;

constexpr std::uint32_t BackgroundColour = 0xFFFFFF;
constexpr std::uint32_t FrameColour = 0x8090A0;
constexpr std::uint32_t SungColour = 0x10A0C0;
constexpr std::uint32_t SingingColour = 0x10F0C0;
constexpr std::uint32_t ComingColour = 0x707070;
constexpr std::size_t MostSyllables = 49;
constexpr int TextTop = 16;
// Margin the line keeps from the display's edges before a smaller font is tried.
constexpr int SideRoom = 30;

struct TSyllable {
  float Start;     // seconds
  double Duration; // seconds
  QString Text;
};

struct TLine {
  std::vector<TSyllable> Syllables;
  QString Text;
};

// Seconds as the line search keeps them: 32-bit floats.
float StartSeconds(const TSong& song, const TNote& note) {
  return static_cast<float>(songData::SongTimeOfBeat(song.BPM, note.Start));
}

// The voice's line breaks just before and at or after the cursor.
std::pair<float, float> LineAround(const TSong& song, double cursorTime, std::uint8_t voice) {
  float lineStart = 0, lineEnd = 100000;
  for (const TNote& note : song.Notes) {
    if (!note.IsLineBreak() || note.Voice != voice) continue;
    const float t = StartSeconds(song, note);
    if (t > lineStart && t < cursorTime) lineStart = t;
    if (t < lineEnd && t >= cursorTime) lineEnd = t;
  }
  return {lineStart, lineEnd};
}

TLine CollectLine(const TSong& song, double cursorTime, std::uint8_t voice) {
  const auto [lineStart, lineEnd] = LineAround(song, cursorTime, voice);
  TLine line;
  for (const TNote& note : song.Notes) {
    if (!note.IsSyllable() || note.Voice != voice) continue;
    const float start = StartSeconds(song, note);
    if (start < lineStart || start >= lineEnd - 0.01 || line.Syllables.size() >= MostSyllables)
      continue;
    TSyllable syllable{start, songData::SongTimeOfBeat(song.BPM, note.Length),
                       QString::fromStdU16String(songData::DecodeText(note.Text.View()))};
    line.Text += syllable.Text;
    line.Syllables.push_back(std::move(syllable));
  }
  return line;
}

// The largest of 20, 18 and 16 points at which the line fits, else 16.
QFont LineFont(const QString& text, int displayWidth) {
  for (int points : {20, 18}) {
    QFont font = PointFont("Arial", points, true);
    if (QFontMetrics(font).horizontalAdvance(text) <= displayWidth - SideRoom) return font;
  }
  return PointFont("Arial", 16, true);
}

void DrawSyllables(TCanvas& canvas, const TLine& line, double cursorTime) {
  const QFont font = LineFont(line.Text, canvas.Width());
  const QFontMetrics metrics(font);
  std::int64_t x = (std::int64_t(canvas.Width()) - metrics.horizontalAdvance(line.Text)) / 2;
  // The colour carries over: sung syllables keep the first colour, the one
  // being sung turns bright and those to come grey.
  std::uint32_t colour = SungColour;
  for (const TSyllable& syllable : line.Syllables) {
    if (cursorTime < syllable.Start)
      colour = ComingColour;
    else if (cursorTime < syllable.Start + syllable.Duration)
      colour = SingingColour;
    canvas.Text(x, TextTop, syllable.Text, font, colour);
    x += metrics.horizontalAdvance(syllable.Text);
  }
}

} // namespace

void DrawLineDisplay(QImage& image, const TSong& song, double cursorTime, std::uint8_t voice) {
  if (image.isNull()) return;
  TCanvas canvas(image);
  canvas.FillBox(0, 0, canvas.Width(), canvas.Height(), BackgroundColour);
  canvas.OutlineBox(0, 0, canvas.Width(), canvas.Height(), FrameColour);
  const TLine line = CollectLine(song, cursorTime, voice);
  if (!line.Text.isEmpty()) DrawSyllables(canvas, line, cursorTime);
}

} // namespace editor
