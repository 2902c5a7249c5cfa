#pragma once
// The piano keyboard strip under the note view: four octaves of keys, tone
// values -12 (C3) to 35 (B6), showing the sounding key and the key under the
// mouse. GUI thread only.
#include "song/song_model.h"

#include <QImage>
#include <array>
#include <cstdint>

namespace editor {

constexpr int KeyboardHeight = 67;
// 28 white keys of 24 pixels.
constexpr int KeyboardWidth = 672;

enum TKeyLook : std::uint8_t { klNormal = 0, klHovered = 1, klSounding = 2 };

// The key images, indexed by TKeyLook: white keys 24 x 67, black keys 17 x 37.
struct TKeyImages {
  std::array<QImage, 3> White;
  std::array<QImage, 3> Black;
};

// Draws the six key images; made once and kept by the caller.
TKeyImages MakeKeyImages();

// Repaints the whole strip, centred in the image. Sounding wins over hovered
// when both are the same key. A null image is left alone.
void KeyboardPaint(QImage& image, const TKeyImages& keys, std::int32_t currentTone,
                   std::int32_t hoverTone);

// The tone of the key at (x, y) in a strip this wide, black keys first;
// NoHoverTone left or right of the keys. The keys are found one pixel right
// of where KeyboardPaint draws them.
std::int32_t KeyToneAt(int width, int x, int y);

// The tone the player sounds at a song time for the voice: a syllable's pitch
// with the transpose, from its start until 0.4 beats before its end, as the
// player schedules it; NoTone between syllables and outside the tones it plays.
std::int32_t ToneSoundingAt(const songData::TSong& song, std::uint8_t voice, double songTime);

} // namespace editor
