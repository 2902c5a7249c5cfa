#include "editor/timeline.h"
#include "editor/view_coordinates.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace editor;

// 125 BPM scrolled to -0.5 s at the start size: beat 0 lies 62 pixels in.
TViewLayout StartView() {
  return LayoutOf(TViewState{}, 814, 560);
}

TEST(ViewCoordinates, MapsPixelsToTimeAndBack) {
  const TViewLayout view = StartView();
  EXPECT_EQ(BeatToX(view, 0), 62);
  EXPECT_EQ(BeatToX(view, 4), 122);
  EXPECT_EQ(BeatToX(view, -5), -13);
  // 0.5 and 1.5 pixels: ties go to the even neighbour.
  EXPECT_EQ(SecondsToX(view, 0.004), 62);
  EXPECT_EQ(SecondsToX(view, 0.012), 64);
  EXPECT_EQ(SecondsToX(view, 1.0), 187);
  EXPECT_DOUBLE_EQ(XToSeconds(view, 62), 0.0);
  EXPECT_DOUBLE_EQ(XToSeconds(view, 187), 1.0);
  EXPECT_EQ(XToBeat(view, 69), 0);
  EXPECT_EQ(XToBeat(view, 70), 1);
  EXPECT_EQ(XToBeat(view, -55), -8);

  TViewState roundState;
  roundState.PixelsPerBeat = 10;
  roundState.ScrollPosition = 0;
  const TViewLayout round = LayoutOf(roundState, 814, 560);
  EXPECT_EQ(XToBeat(round, 5), 0);
  EXPECT_EQ(XToBeat(round, 15), 2);
  EXPECT_EQ(XToBeat(round, 25), 2);
}

TEST(ViewCoordinates, MapsRowsToTones) {
  const TViewLayout view = StartView();
  struct TCase {
    std::int32_t Y, Row;
  };
  // Division truncates toward zero, also just above the grid.
  for (TCase c : {TCase{10, 0}, {23, 0}, {24, 1}, {5, 0}, {-20, -2}, {416, 29}})
    EXPECT_EQ(YToRow(view, c.Y), c.Row) << c.Y;
  EXPECT_EQ(RowTone(view, 0), 29);
  EXPECT_EQ(RowTone(view, 29), 0);
  EXPECT_EQ(YToPitch(view, 24, 12), 16);
  EXPECT_EQ(YToPitch(view, 416, 0), 0);
  EXPECT_EQ(NoteRowTop(view, 0, 0), 416);
  EXPECT_EQ(NoteRowTop(view, 16, 12), 24);
  EXPECT_EQ(NoteRowTop(view, INT_MAX, INT_MAX), INT_MIN);
  EXPECT_EQ(NoteRowTop(view, INT_MIN, -5), INT_MAX);

  TViewLayout flat = view; // a layout made by hand with rows of no height
  flat.RowHeight = 0;
  EXPECT_EQ(YToRow(flat, 15), 5);
}

TEST(ViewCoordinates, AbsurdScalesSaturate) {
  TViewState view;
  view.PixelsPerBeat = INT_MAX;
  EXPECT_EQ(BeatToX(LayoutOf(view, 814, 560), INT_MAX), INT_MAX);
  EXPECT_EQ(BeatToX(LayoutOf(view, 814, 560), INT_MIN), INT_MIN);
  view.PixelsPerBeat = 0;
  view.ScrollPosition = 0;
  EXPECT_EQ(XToBeat(LayoutOf(view, 814, 560), 0), 0);
  EXPECT_EQ(Nearest(std::nan("")), 0);
  EXPECT_EQ(Nearest(1e300), INT_MAX);
}

TEST(ViewCoordinates, NamesTonesOfEveryOctave) {
  struct TCase {
    std::int32_t Tone;
    const char* Name;
  };
  for (TCase c : {TCase{0, "C"},
                  {1, "C#"},
                  {11, "B"},
                  {12, "C"},
                  {29, "F"},
                  {-1, "B"},
                  {-36, "C"},
                  {-37, "B"},
                  {-100, "G#"},
                  {INT_MIN, "E"},
                  {INT_MAX, "G"}})
    EXPECT_EQ(ToneName(c.Tone), c.Name) << c.Tone;
}

TEST(ViewCoordinates, ScaleAndTimelineReachTheViewState) {
  TViewState view;
  ApplyBeatScale(view, 50);
  EXPECT_EQ(view.PixelsPerBeat, 28);
  EXPECT_DOUBLE_EQ(view.PixelsPerSecond, 28 * 50 * 4 / 60.0);
  ApplyBeatScale(view, 125);
  EXPECT_EQ(view.PixelsPerBeat, 15);
  EXPECT_DOUBLE_EQ(view.PixelsPerSecond, 125.0);

  view.ScrollPosition = -5;
  ApplyTimeline(view, TTimeline{0.0, 50.0, 20, 500});
  EXPECT_EQ(view.ScrollMin, 20);
  EXPECT_EQ(view.ScrollMax, 500);
  EXPECT_EQ(view.ScrollPosition, 20);
  view.ScrollPosition = 900;
  ApplyTimeline(view, TTimeline{0.0, 50.0, -35, 600});
  EXPECT_EQ(view.ScrollPosition, 600);
}

} // namespace
