#include "common/note_builder.h"
#include "editor/keyboard_strip.h"
#include "editor/view_pixels.h"
#include "editor/view_state.h"

#include <gtest/gtest.h>

namespace {

using namespace editor;

constexpr std::uint32_t Background = 0xF0F0E8;
constexpr std::int32_t Silent = -100; // no tone sounds

// Each channel within a few steps: the key faces are gradients.
void ExpectColourNear(std::uint32_t actual, std::uint32_t expected, const char* what) {
  for (int shift = 0; shift <= 16; shift += 8)
    EXPECT_NEAR(int(actual >> shift) & 0xFF, int(expected >> shift) & 0xFF, 3)
        << what << std::hex << ": 0x" << actual << " against 0x" << expected;
}

class KeyboardStrip : public testing::Test {
protected:
  // 812 wide: painted from x = 69, hit from x = 70.
  QImage Paint(std::int32_t currentTone, std::int32_t hoverTone, int width = 812) {
    QImage image(width, KeyboardHeight, QImage::Format_RGB32);
    image.fill(Qt::blue);
    KeyboardPaint(image, keys, currentTone, hoverTone);
    return image;
  }

  TKeyImages keys = MakeKeyImages();
};

TEST_F(KeyboardStrip, FindsTheKeyUnderTheMouse) {
  struct TCase {
    int Width, X, Y;
    std::int32_t Tone;
  };
  for (TCase c : {TCase{812, 69, 50, NoHoverTone},
                  {812, 70, 50, -12},  // C3, first column of the first key
                  {812, 93, 50, -12},  // its last column
                  {812, 94, 50, -10},  // D3
                  {812, 83, 36, -12},  // left of C#3
                  {812, 84, 36, -11},  // C#3 lies over C3 and D3
                  {812, 100, 36, -11}, // its last column
                  {812, 101, 36, -10},
                  {812, 84, 37, -12}, // below the black key: the white keys under it
                  {812, 100, 37, -10},
                  {812, 330, 0, 6},   // F#4
                  {812, 726, 10, 34}, // A#6, the last black key
                  {812, 727, 10, 35},
                  {812, 741, 50, 35}, // B6, last column of the last key
                  {812, 742, 50, NoHoverTone},
                  {812, 742, 0, NoHoverTone},
                  // A narrower strip than the keys: the origin (671 - 672) div 2 is 0.
                  {671, 0, 50, -12},
                  {671, 671, 50, 35},
                  {671, 672, 50, NoHoverTone}})
    EXPECT_EQ(KeyToneAt(c.Width, c.X, c.Y), c.Tone) << c.Width << ": " << c.X << ", " << c.Y;
}

TEST_F(KeyboardStrip, PaintsTheKeysFromTheLeftOfTheHitArea) {
  const QImage image = Paint(Silent, NoHoverTone);
  struct TCase {
    int X, Y;
    std::uint32_t Colour;
    const char* What;
  };
  for (TCase c : {TCase{68, 50, Background, "background left of the keys"},
                  {69, 50, 0x000000, "separating line of C3"},
                  {70, 50, 0xC1C1BD, "left of C3's face"},
                  {91, 50, 0xE6E6DF, "right of C3's face"},
                  {92, 50, 0x6B6B68, "edge of C3"},
                  {83, 10, 0x818181, "rim of C#3 over C3"},
                  {99, 10, 0xCFCFCA, "light right column of C#3 over D3"},
                  {100, 10, 0xCCCCC7, "D3's face right of C#3"},
                  {90, 36, 0x303031, "band at the foot of C#3"},
                  {85, 37, 0xDBDBD5, "C3's face below C#3"},
                  {740, 50, 0x6B6B68, "edge of B6"},
                  {741, 50, Background, "background right of the keys"},
                  {741, 0, Background, "background right of the keys, top"}})
    ExpectColourNear(PixelAt(image, c.X, c.Y), c.Colour, c.What);
}

TEST_F(KeyboardStrip, SoundingKeyWinsOverTheHoveredOne) {
  // C4 (tone 0) is painted from x = 237, C#4 (tone 1) from x = 251; middles
  // at (249, 33) and (259, 18).
  struct TCase {
    std::int32_t Current, Hover;
    std::uint32_t WhiteMiddle, BlackMiddle;
  };
  constexpr std::uint32_t NormalWhite = 0xD4D4CE, HoveredWhite = 0xEAEAC9, SoundingWhite = 0xCDB1A3;
  constexpr std::uint32_t NormalBlack = 0x4C4C4D, HoveredBlack = 0x80806E, SoundingBlack = 0x812C2D;
  for (TCase c : {TCase{Silent, NoHoverTone, NormalWhite, NormalBlack},
                  {0, 1, SoundingWhite, HoveredBlack},
                  {1, 0, HoveredWhite, SoundingBlack},
                  {0, 0, SoundingWhite, NormalBlack},
                  {2, 3, NormalWhite, NormalBlack}}) {
    SCOPED_TRACE(testing::Message() << "sounding " << c.Current << ", hovered " << c.Hover);
    const QImage image = Paint(c.Current, c.Hover);
    ExpectColourNear(PixelAt(image, 249, 33), c.WhiteMiddle, "C4");
    ExpectColourNear(PixelAt(image, 259, 18), c.BlackMiddle, "C#4");
  }
}

TEST_F(KeyboardStrip, SoundingWhiteKeyDarkensTowardsItsFoot) {
  const QImage image = Paint(0, NoHoverTone);
  EXPECT_EQ(PixelAt(image, 238, 0), 0xDAAF9Fu);
  EXPECT_EQ(PixelAt(image, 238, 66), 0x9E7F74u);
  EXPECT_EQ(PixelAt(image, 259, 66), 0xC3B2A6u); // its top right lies under C#4
  EXPECT_EQ(PixelAt(image, 237, 66), 0x75756Fu); // its separating line ends grey
  EXPECT_EQ(PixelAt(image, 260, 50), 0x985543u);
}

TEST_F(KeyboardStrip, NarrowAndMissingImages) {
  // (101 - 674) div 2 = -286: x = 0 is column 22 of G4.
  EXPECT_EQ(PixelAt(Paint(Silent, NoHoverTone, 101), 0, 50), 0xE6E6DFu);
  QImage none;
  KeyboardPaint(none, keys, 0, 0);
  EXPECT_TRUE(none.isNull());
}

// At 15 BPM one beat lasts a second; the key sounds as the player schedules it.
TEST(ToneSoundingAt, TheSyllableOfTheVoiceFromItsStartToNearItsEnd) {
  songData::TSong song;
  song.BPM = 15;
  song.Transpose = 12;
  song.Notes = {MakeNote(songData::nkNormal, 1, 2, 5, "la"), MakeNote(songData::nkLineBreak, 3),
                MakeNote(songData::nkNormal, 4, 1, 40, "hi"),
                MakeNote(songData::nkGolden, 6, 1, -3, "lo")};
  song.Notes[3].Voice = songData::SecondVoice;
  struct TCase {
    double Seconds;
    std::uint8_t Voice;
    std::int32_t Tone;
  } cases[] = {{0.99, 1, Silent},
               {1.0, 1, 17},
               {2.59, 1, 17},
               {2.6, 1, Silent},
               {4.2, 1, Silent} /* 52 is above the tones that sound */,
               {6.5, 1, Silent},
               {6.5, 2, 9}};
  for (const TCase& c : cases)
    EXPECT_EQ(ToneSoundingAt(song, c.Voice, c.Seconds), c.Tone) << c.Seconds;
}

} // namespace
