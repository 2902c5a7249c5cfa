#include "common/note_builder.h"
#include "editor/canvas.h"
#include "editor/line_display.h"
#include "editor/view_pixels.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace songData;

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Sung = 0x10A0C0;
constexpr std::uint32_t Singing = 0x10F0C0;
constexpr std::uint32_t Coming = 0x707070;

// The columns holding anything but the white background, inside the frame.
struct TInk {
  int Left = INT_MAX, Right = -1;
};

TInk InkOf(const QImage& image) {
  TInk ink;
  for (int y = 1; y < image.height() - 1; ++y)
    for (int x = 1; x < image.width() - 1; ++x)
      if (PixelAt(image, x, y) != White) {
        ink.Left = std::min(ink.Left, x);
        ink.Right = std::max(ink.Right, x);
      }
  return ink;
}

int Advance(const QString& text, int points) {
  return QFontMetrics(PointFont("Arial", points, true)).horizontalAdvance(text);
}

// The text is centred; glyphs may stand a few pixels inside their advance.
void ExpectCentredLine(const QImage& image, const QString& text, int points) {
  const int width = Advance(text, points);
  const int left = (image.width() - width) / 2;
  const TInk ink = InkOf(image);
  EXPECT_NEAR(ink.Left, left, 3) << text.toStdString() << ' ' << points;
  EXPECT_NEAR(ink.Right, left + width - 1, 3) << text.toStdString() << ' ' << points;
}

// At 15 BPM a beat lasts a second: a syllable before time 0, a line of three,
// a line break at 4 s, a line of two, a line break at 8 s, a last line of one.
class LineDisplay : public testing::Test {
protected:
  void SetUp() override {
    song.BPM = 15;
    song.Notes = {MakeNote(nkNormal, -2, 1, 0, "Zz"), MakeNote(nkNormal, 0, 1, 0, "Aa"),
                  MakeNote(nkGolden, 1, 1, 0, "Bb"),  MakeNote(nkFreestyle, 2, 1, 0, "Cc"),
                  MakeNote(nkLineBreak, 4),           MakeNote(nkNormal, 5, 1, 0, "Dd"),
                  MakeNote(nkNormal, 6, 1, 0, "Ee"),  MakeNote(nkLineBreak, 8),
                  MakeNote(nkNormal, 9, 1, 0, "Ff")};
  }

  QImage image{569, 64, QImage::Format_RGB32};
  TSong song;
};

TEST_F(LineDisplay, ShowsTheLineAroundTheCursor) {
  struct TCase {
    double Cursor;
    const char* Line;
  };
  for (TCase c : {TCase{-5.0, "AaBbCc"},
                  {0.0, "AaBbCc"},
                  {1.5, "AaBbCc"},
                  {4.0, "AaBbCc"},
                  {4.5, "DdEe"},
                  {8.0, "DdEe"},
                  {8.5, "Ff"},
                  {20.0, "Ff"}}) {
    DrawLineDisplay(image, song, c.Cursor);
    ExpectCentredLine(image, QString::fromLatin1(c.Line), 20);
  }
}

TEST_F(LineDisplay, ShowsTheLineOfTheChosenVoiceWithItsRap) {
  // P1 raps at beat 3; P2 has a line break of its own at beat 2 and raps too.
  const auto second = [](TNote note) {
    note.Voice = SecondVoice;
    return note;
  };
  song.Notes.push_back(MakeNote(nkRap, 3, 1, 0, "Gg"));
  for (const TNote& note :
       {MakeNote(nkRap, 1, 1, 0, "Rr"), MakeNote(nkLineBreak, 2),
        MakeNote(nkRapGolden, 3, 1, 0, "Ss"), MakeNote(nkNormal, 5, 1, 0, "Tt")})
    song.Notes.push_back(second(note));
  struct TCase {
    std::uint8_t Voice;
    double Cursor;
    const char* Line;
  };
  for (TCase c : {TCase{1, 1.5, "AaBbCcGg"}, TCase{1, 4.5, "DdEe"}, TCase{2, 1.5, "Rr"},
                  TCase{2, 3.0, "SsTt"}, TCase{2, 20.0, "SsTt"}}) {
    DrawLineDisplay(image, song, c.Cursor, c.Voice);
    ExpectCentredLine(image, QString::fromLatin1(c.Line), 20);
  }
}

TEST_F(LineDisplay, ColoursSungSingingAndComingSyllables) {
  struct TCase {
    double Cursor;
    std::uint32_t Colours[3];
  };
  const int left = (image.width() - Advance("AaBbCc", 20)) / 2;
  const int aa = Advance("Aa", 20), bb = Advance("Bb", 20), cc = Advance("Cc", 20);
  const QRect places[3] = {QRect(left, 1, aa, 62), QRect(left + aa, 1, bb, 62),
                           QRect(left + aa + bb, 1, cc, 62)};
  for (TCase c : {TCase{0.5, {Singing, Coming, Coming}}, TCase{1.5, {Sung, Singing, Coming}},
                  TCase{2.5, {Sung, Sung, Singing}}, TCase{3.5, {Sung, Sung, Sung}}}) {
    DrawLineDisplay(image, song, c.Cursor);
    for (int s = 0; s < 3; ++s)
      for (std::uint32_t colour : {Sung, Singing, Coming})
        EXPECT_EQ(AnyPixelOf(image, places[s], colour), colour == c.Colours[s])
            << c.Cursor << " syllable " << s << " colour " << std::hex << colour;
  }
}

TEST_F(LineDisplay, ShrinksTheFontForLongLines) {
  song.Notes = {MakeNote(nkNormal, 0, 1, 0, "Sing along now")};
  const QString text = "Sing along now";
  struct TCase {
    int Width;
    int Points;
  };
  for (TCase c : {TCase{Advance(text, 20) + 30, 20},
                  {Advance(text, 20) + 29, 18},
                  {Advance(text, 18) + 30, 18},
                  {Advance(text, 18) + 29, 16}}) {
    image = QImage(c.Width, 64, QImage::Format_RGB32);
    DrawLineDisplay(image, song, 0.0);
    ExpectCentredLine(image, text, c.Points);
  }
}

TEST_F(LineDisplay, ShowsTheFirstFortyNineSyllables) {
  song.Notes.clear();
  for (int i = 0; i < 60; ++i)
    song.Notes.push_back(MakeNote(nkNormal, i, 1, 0, "x"));
  image = QImage(2000, 64, QImage::Format_RGB32);
  DrawLineDisplay(image, song, 100.0);
  ExpectCentredLine(image, QString(49, 'x'), 20);
}

TEST_F(LineDisplay, FramesAnEmptyLine) {
  for (std::vector<TNote> notes :
       {std::vector<TNote>{}, {MakeNote(nkNormal, 0, 1, 0, ""), MakeNote(nkLineBreak, 2)}}) {
    song.Notes = notes;
    DrawLineDisplay(image, song, 1.0);
    EXPECT_EQ(InkOf(image).Right, -1);
    for (QPoint corner : {QPoint(0, 0), QPoint(568, 0), QPoint(0, 63), QPoint(568, 63)})
      EXPECT_EQ(PixelAt(image, corner.x(), corner.y()), 0x8090A0u);
  }
}

} // namespace
