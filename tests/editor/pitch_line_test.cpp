#include "editor/note_view.h"
#include "editor/pitch_line.h"
#include "editor/view_pixels.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace editor;

// The start size at 125 BPM scrolled to -0.5 s: second s lies at x = 125 s + 62,
// and tone t's row centre at y = (29 - t) * 14 + 17.
class PitchLine : public testing::Test {
protected:
  void SetUp() override {
    // Tone 5 for two seconds, two seconds unsure, tone 5.5 for a second, then
    // a leap to tone 12.
    for (int b = 0; b < 160; ++b) {
      const double tone = b < 128 ? (b < 96 ? 5.0 : 5.5) : 12.0;
      const bool sure = b < 64 || b >= 96;
      contour.Points.push_back(
          {static_cast<float>(261.6255653 * std::pow(2.0, tone / 12.0)), sure ? 0.9f : 0.2f});
    }
    DrawView(image, song, view, {}, 100.0, &contour);
  }
  bool LineAt(double seconds, double tone) const {
    const int x = static_cast<int>(std::lround(125 * seconds + 62));
    const int y = static_cast<int>(std::lround((29 - tone) * 14 + 17));
    return AnyPixelOf(image, QRect(x - 1, y - 1, 3, 3), PitchLineColour);
  }

  QImage image{814, 560, QImage::Format_RGB32};
  songData::TSong song;
  TViewState view;
  pitch::TPitchContour contour;
};

TEST_F(PitchLine, FollowsTheConfidentToneAtItsFractionalHeight) {
  EXPECT_TRUE(LineAt(0.5, 5.0));
  EXPECT_TRUE(LineAt(1.9, 5.0));
  EXPECT_FALSE(LineAt(2.5, 5.0)); // unsure blocks draw nothing
  EXPECT_FALSE(LineAt(2.5, 5.5));
  EXPECT_TRUE(LineAt(3.5, 5.5)); // half-way between the rows of 5 and 6
  EXPECT_FALSE(LineAt(3.5, 5.0));
  EXPECT_TRUE(LineAt(4.5, 12.0));
  // The leap is a new phrase: nothing joins tone 5.5 to tone 12.
  const int x = static_cast<int>(125 * 4.0 + 62);
  EXPECT_FALSE(AnyPixelOf(image, QRect(x - 4, (29 - 9) * 14, 9, 40), PitchLineColour));
}

TEST_F(PitchLine, MovesWithTheMusicOffsetAndIsAbsentWithoutAContour) {
  song.MusicOffset = 1.0;
  DrawView(image, song, view, {}, 100.0, &contour);
  EXPECT_FALSE(LineAt(0.5, 5.0));
  EXPECT_TRUE(LineAt(1.5, 5.0));
  DrawView(image, song, view, {}, 100.0);
  EXPECT_FALSE(AnyPixelOf(image, image.rect(), PitchLineColour));
}

// Singing above the top row and below the bottom one: the line stops at the
// grid's edges and leaves the bands, their bar numbers and syllables alone.
TEST_F(PitchLine, StaysInsideTheGrid) {
  contour.Points.clear();
  // Gliding from tone 27 up past the top row (tone 30 lies at y = 3), then
  // from tone -4 down past the bottom one (tone -6 at y = 507).
  for (int b = 0; b < 200; ++b) {
    const double tone = b < 100 ? 27.0 + b * 0.05 : -4.0 - (b - 100) * 0.05;
    contour.Points.push_back({static_cast<float>(261.6255653 * std::pow(2.0, tone / 12.0)), 0.9f});
  }
  DrawView(image, song, view, {}, 100.0, &contour);
  EXPECT_TRUE(AnyPixelOf(image, QRect(0, 10, 814, 491), PitchLineColour));
  EXPECT_FALSE(AnyPixelOf(image, QRect(0, 0, 814, 10), PitchLineColour));
  EXPECT_FALSE(AnyPixelOf(image, QRect(0, 501, 814, 59), PitchLineColour));
}

} // namespace
