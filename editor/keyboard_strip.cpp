#include "editor/keyboard_strip.h"

#include "audio/player.h"
#include "editor/view_state.h"

#include <QPainter>

namespace editor {
namespace {

constexpr int WhiteWidth = 24;
constexpr int BlackWidth = 17;
constexpr int BlackHeight = 37;
constexpr int OctaveWidth = 7 * WhiteWidth;
constexpr int WhiteCount = 28;
constexpr int BlackCount = 20;
// Semitones above C of the white and black keys of an octave, and where the
// black keys lie from the octave's left edge.
constexpr std::array<std::int32_t, 7> WhiteSteps = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<std::int32_t, 5> BlackSteps = {1, 3, 6, 8, 10};
constexpr std::array<int, 5> BlackOffsets = {14, 40, 86, 111, 136};
// The keys start an octave below C4.
constexpr std::int32_t LowestC = -12;
constexpr std::uint32_t BackgroundColour = 0xF0F0E8;

// Colours as 0xRRGGBB. A white key's face runs from its left to its right
// colour, each of them moving from the top row's value to the bottom row's.
struct TWhiteKeyColours {
  std::uint32_t TopLeft, TopRight, BottomLeft, BottomRight;
  std::uint32_t SeparatorTop, SeparatorBottom; // column 0
  std::uint32_t Edge;                          // the last column
};

struct TBlackKeyColours {
  std::uint32_t Rim, Line, Left, Right, Shadow, Band;
};

constexpr std::array<TWhiteKeyColours, 3> WhiteKeyColours = {{
    {0xC1C1BD, 0xE6E6DF, 0xC1C1BD, 0xE6E6DF, 0x000000, 0x000000, 0x6B6B68},
    {0xD3D3AB, 0xFFFFE4, 0xD3D3AB, 0xFFFFE4, 0x000000, 0x000000, 0x414B1E},
    {0xDAAF9F, 0xF4DED0, 0x9E7F74, 0xC3B2A6, 0xF4DED0, 0x75756F, 0x985543},
}};

constexpr std::array<TBlackKeyColours, 3> BlackKeyColours = {{
    {0x818181, 0xCFCFCA, 0x3F3F40, 0x575758, 0x000000, 0x303031},
    {0xCBCBB3, 0xFFFFFF, 0x6D6D5D, 0x90907B, 0x101010, 0x585849},
    {0xB25355, 0xE5A6A9, 0x732324, 0x8C3334, 0x2B0000, 0x631A1B},
}};

// Step `step` of `steps` from a to b, per channel, rounded; both ends exact.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int step, int steps) {
  std::uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int from = int(a >> shift) & 0xFF, to = int(b >> shift) & 0xFF;
    const int channel = (from * (steps - step) + to * step + steps / 2) / steps;
    result |= std::uint32_t(channel) << shift;
  }
  return result;
}

void SetPixel(QImage& image, int x, int y, std::uint32_t colour) {
  image.setPixel(x, y, 0xFF000000u | colour);
}

QImage WhiteKeyImage(const TWhiteKeyColours& c) {
  QImage image(WhiteWidth, KeyboardHeight, QImage::Format_RGB32);
  constexpr int lastRow = KeyboardHeight - 1, faceSteps = WhiteWidth - 3;
  for (int y = 0; y < KeyboardHeight; ++y) {
    const std::uint32_t left = Mix(c.TopLeft, c.BottomLeft, y, lastRow);
    const std::uint32_t right = Mix(c.TopRight, c.BottomRight, y, lastRow);
    SetPixel(image, 0, y, Mix(c.SeparatorTop, c.SeparatorBottom, y, lastRow));
    for (int x = 1; x < WhiteWidth - 1; ++x)
      SetPixel(image, x, y, Mix(left, right, x - 1, faceSteps));
    SetPixel(image, WhiteWidth - 1, y, c.Edge);
  }
  return image;
}

// Columns 0-1 rim, 2 a light line, 3-12 the face, 13-15 shadow, 16 light; the
// rims run down to the bottom, the band lies between them.
std::uint32_t BlackKeyColumn(const TBlackKeyColours& c, int x) {
  if (x < 2) return c.Rim;
  if (x == 2 || x == BlackWidth - 1) return c.Line;
  if (x <= 12) return Mix(c.Left, c.Right, x - 3, 9);
  return c.Shadow;
}

QImage BlackKeyImage(const TBlackKeyColours& c) {
  constexpr int bandTop = BlackHeight - 3;
  QImage image(BlackWidth, BlackHeight, QImage::Format_RGB32);
  for (int y = 0; y < BlackHeight; ++y)
    for (int x = 0; x < BlackWidth; ++x)
      SetPixel(image, x, y, y >= bandTop && x >= 2 ? c.Band : BlackKeyColumn(c, x));
  return image;
}

std::int32_t WhiteKeyTone(int i) {
  return 12 * (i / 7) + WhiteSteps[std::size_t(i % 7)] + LowestC;
}

std::int32_t BlackKeyTone(int j) {
  return 12 * (j / 5) + BlackSteps[std::size_t(j % 5)] + LowestC;
}

int BlackKeyLeft(int j) {
  return OctaveWidth * (j / 5) + BlackOffsets[std::size_t(j % 5)];
}

TKeyLook LookOf(std::int32_t tone, std::int32_t currentTone, std::int32_t hoverTone) {
  if (tone == currentTone) return klSounding;
  return tone == hoverTone ? klHovered : klNormal;
}

} // namespace

TKeyImages MakeKeyImages() {
  TKeyImages keys;
  for (std::size_t look = 0; look < keys.White.size(); ++look) {
    keys.White[look] = WhiteKeyImage(WhiteKeyColours[look]);
    keys.Black[look] = BlackKeyImage(BlackKeyColours[look]);
  }
  return keys;
}

void KeyboardPaint(QImage& image, const TKeyImages& keys, std::int32_t currentTone,
                   std::int32_t hoverTone) {
  if (image.isNull()) return;
  const int width = image.width();
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(0, 0, width, KeyboardHeight, QColor::fromRgb(0xFF000000u | BackgroundColour));
  // One pixel left of where the keys are hit.
  const int x0 = (width - KeyboardWidth - 2) / 2;
  for (int i = 0; i < WhiteCount; ++i)
    painter.drawImage(x0 + WhiteWidth * i, 0,
                      keys.White[LookOf(WhiteKeyTone(i), currentTone, hoverTone)]);
  for (int j = 0; j < BlackCount; ++j)
    painter.drawImage(x0 + BlackKeyLeft(j), 0,
                      keys.Black[LookOf(BlackKeyTone(j), currentTone, hoverTone)]);
}

std::int32_t KeyToneAt(int width, int x, int y) {
  // 64-bit, so that no width or position can overflow.
  const std::int64_t x0 = (std::int64_t(width) - KeyboardWidth) / 2;
  if (y < BlackHeight)
    for (int j = 0; j < BlackCount; ++j) {
      const std::int64_t left = x0 + BlackKeyLeft(j);
      if (x >= left && x < left + BlackWidth) return BlackKeyTone(j);
    }
  if (x < x0 || x >= x0 + KeyboardWidth) return NoHoverTone;
  return WhiteKeyTone(int((x - x0) / WhiteWidth));
}

std::int32_t ToneSoundingAt(const songData::TSong& song, std::uint8_t voice, double songTime) {
  const double beat = songTime * song.BPM * 4 / 60;
  for (const songData::TNote& note : song.Notes) {
    if (note.Voice != voice || !note.IsSyllable()) continue;
    if (beat < note.Start || beat >= double(note.Start) + note.Length - 0.4) continue;
    const std::int64_t tone = std::int64_t(note.Pitch) + song.Transpose;
    return tone >= player::LowestTone && tone <= player::HighestTone ? std::int32_t(tone)
                                                                     : player::NoTone;
  }
  return player::NoTone;
}

} // namespace editor
