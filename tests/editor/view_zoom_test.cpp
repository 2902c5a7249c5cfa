#include "common/note_builder.h"
#include "editor/note_editing.h"
#include "editor/note_view.h"
#include "editor/view_coordinates.h"
#include "editor/view_pixels.h"

#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace songData;

constexpr std::uint32_t NoteOutline = 0x408070;
constexpr std::uint32_t NoteFill = 0x80A090;
constexpr std::uint32_t BarLine = 0x406070;
constexpr std::uint32_t BeatLine = 0x000000;

// 125 BPM at the start size (15 pixels a beat and 125 a second at 100 %, rows
// 14 high from y = 10), scrolled to the song time given in tenths of a second.
TViewState ZoomedState(double zoom, double scrollPosition = 0, double rowZoom = 1) {
  TViewState view;
  view.Zoom = zoom;
  view.RowZoom = rowZoom;
  view.ScrollPosition = scrollPosition;
  return view;
}

TEST(ViewLayout, PlacesBeatsSecondsAndRowsAtEveryZoom) {
  struct TCase {
    double Zoom;
    double PixelsPerBeat;
    std::int32_t Offset;  // nearest(1 s * 125 * zoom)
    std::int32_t Beat8X;  // 8 * 15 * zoom - offset
    std::int32_t Page;    // nearest(814 * 10 / (125 * zoom))
    std::int32_t BeatAt0; // nearest(offset / (15 * zoom))
  };
  const TCase cases[] = {
      {0.25, 3.75, 31, -1, 260, 8}, {0.5, 7.5, 62, -2, 130, 8}, {1, 15, 125, -5, 65, 8},
      {2, 30, 250, -10, 33, 8},     {4, 60, 500, -20, 16, 8},   {8, 120, 1000, -40, 8, 8},
      {0.1, 3.75, 31, -1, 260, 8}, // below 25 %: 25 %
      {20, 120, 1000, -40, 8, 8},  // above 800 %: 800 %
  };
  for (const TCase& c : cases) {
    const TViewLayout layout = LayoutOf(ZoomedState(c.Zoom, 10), 814, 560);
    EXPECT_DOUBLE_EQ(layout.Horizontal.PixelsPerBeat(), c.PixelsPerBeat) << c.Zoom;
    EXPECT_EQ(layout.Horizontal.Offset(), c.Offset) << c.Zoom;
    EXPECT_EQ(BeatToX(layout, 8), c.Beat8X) << c.Zoom;
    EXPECT_EQ(layout.ScrollPage, c.Page) << c.Zoom;
    EXPECT_EQ(XToBeat(layout, 0), c.BeatAt0) << c.Zoom;
    EXPECT_NEAR(XToSeconds(layout, SecondsToX(layout, 3.0)), 3.0,
                1.0 / layout.Horizontal.PixelsPerSecond())
        << c.Zoom;
    EXPECT_EQ(layout.RowHeight, 14) << c.Zoom;
  }
}

TEST(ViewLayout, RowZoomScalesTheRowsAboutTheTopTone) {
  struct TCase {
    double RowZoom;
    std::int32_t RowHeight, RowCount;
  };
  // 500 pixels of rows: 14 at 100 %.
  for (TCase c : {TCase{1, 14, 35}, {2, 28, 17}, {0.5, 7, 71}, {10, 56, 8}, {0.1, 7, 71}}) {
    TViewState view = ZoomedState(1, 0, c.RowZoom);
    view.TopTone = 12;
    const TViewLayout layout = LayoutOf(view, 814, 560);
    EXPECT_EQ(layout.RowHeight, c.RowHeight) << c.RowZoom;
    EXPECT_EQ(layout.RowCount, c.RowCount) << c.RowZoom;
    EXPECT_EQ(layout.GridBottom, c.RowHeight * c.RowCount + 11) << c.RowZoom;
    EXPECT_EQ(RowTone(layout, 0), 12) << c.RowZoom;
    EXPECT_EQ(NoteRowTop(layout, 10, 0), 2 * c.RowHeight + 10) << c.RowZoom;
    EXPECT_EQ(YToPitch(layout, 2 * c.RowHeight + 10, 0), 10) << c.RowZoom;
  }
}

TEST(Zoom, ZoomByKeepsTheTimeUnderThePointAndStaysWithinItsLimits) {
  TZoom zoom(TBeatScale{15, 125.0}, 1.0, 0.0);
  const double before = zoom.PositionToTime(400); // 3.2 s
  zoom.ZoomBy(2, 400);
  EXPECT_DOUBLE_EQ(zoom.Factor(), 2);
  EXPECT_DOUBLE_EQ(zoom.ScrollPosition(), 16); // (3.2 - 400 / 250) s
  EXPECT_DOUBLE_EQ(zoom.PositionToTime(400), before);
  EXPECT_DOUBLE_EQ(zoom.TimeToPosition(before), 400);
  zoom.ZoomBy(1.0 / 3, 123);
  EXPECT_NEAR(zoom.TimeToPosition(zoom.PositionToTime(123)), 123, 0.5);
  zoom.ZoomBy(1000, 10);
  EXPECT_DOUBLE_EQ(zoom.Factor(), TZoom::Most);
  zoom.ZoomBy(1e-6, 10);
  EXPECT_DOUBLE_EQ(zoom.Factor(), TZoom::Least);
  zoom.ZoomTo(1, 0);
  EXPECT_DOUBLE_EQ(zoom.PixelsPerSecond(), 125);
}

// One note of beats 4 to 8 at pitch 10 (row top y = 19 * 14 + 10 = 276), drawn
// from song time 0: its box runs from x1 + 1 to x2 - 1 across y = 277 .. 289.
class ZoomedNote : public testing::Test {
protected:
  void Draw(double zoom, std::int32_t start, std::int32_t length) {
    song.Notes = {MakeNote(nkNormal, start, length, 10, "")};
    DrawView(image, song, ZoomedState(zoom), {}, 100.0);
  }
  std::uint32_t At(int x) const { return PixelAt(image, x, 283); }

  QImage image{814, 560, QImage::Format_RGB32};
  TSong song;
};

TEST_F(ZoomedNote, At200PercentBeatsAreThirtyPixels) {
  Draw(2, 4, 4); // x1 = 120, x2 = 240
  EXPECT_EQ(At(120), BarLine);
  EXPECT_EQ(At(121), NoteOutline);
  EXPECT_EQ(At(122), NoteFill);
  EXPECT_EQ(At(238), NoteFill);
  EXPECT_EQ(At(239), NoteOutline);
  EXPECT_EQ(At(240), BarLine);
  EXPECT_EQ(At(150), NoteFill); // beat 5's line lies under the note
}

TEST_F(ZoomedNote, At50PercentBeatsAreSevenAndAHalfPixels) {
  Draw(0.5, 3, 3); // x1 = nearest(22.5) = 22, x2 = 45
  EXPECT_EQ(At(22), BeatLine);
  EXPECT_EQ(At(23), NoteOutline);
  EXPECT_EQ(At(24), NoteFill);
  EXPECT_EQ(At(43), NoteFill);
  EXPECT_EQ(At(44), NoteOutline);
  EXPECT_EQ(At(45), BeatLine);
}

TEST(ZoomedHitTest, EdgeZonesAt400And25Percent) {
  TSong song;
  // Tone 5's row runs from y = 24 * 14 + 10 = 346.
  song.Notes = {MakeNote(nkNormal, 2, 3, 5, "a"), MakeNote(nkNormal, 80, 8, 5, "b")};
  struct TCase {
    double Zoom;
    std::int32_t X;
    THoverMode Mode;
    std::int32_t Index;
  };
  const TCase cases[] = {
      // 60 pixels a beat: "a" from 120 to 300, its edge zones 4 pixels wide.
      {4, 119, hmNothing, 0},
      {4, 120, hmLeftEdge, 0},
      {4, 124, hmLeftEdge, 0},
      {4, 125, hmBody, 0},
      {4, 295, hmBody, 0},
      {4, 296, hmRightEdge, 0},
      {4, 299, hmRightEdge, 0},
      {4, 300, hmNothing, 0},
      // 3.75 pixels a beat: "b" from 300 to 330, its zones 9 / 4 pixels wide.
      {0.25, 302, hmLeftEdge, 1},
      {0.25, 303, hmBody, 1},
      {0.25, 327, hmBody, 1},
      {0.25, 328, hmRightEdge, 1},
  };
  for (const TCase& c : cases) {
    const TViewState view = ZoomedState(c.Zoom);
    const THit hit = HitTest(song, view, LayoutOf(view, 814, 560), c.X, 352);
    EXPECT_EQ(hit.Mode, c.Mode) << c.Zoom << ' ' << c.X;
    if (c.Mode != hmNothing) {
      EXPECT_EQ(hit.Index, c.Index) << c.Zoom << ' ' << c.X;
    }
  }
  // At 400 % a new note lands on the beat under the pointer.
  TViewState view = ZoomedState(4);
  EXPECT_EQ(
      song.Notes[std::size_t(AddNoteAt(song, view, LayoutOf(view, 814, 560), 629, 352))].Start,
      10); // 629 / 60 = 10.48
}

} // namespace
