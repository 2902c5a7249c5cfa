#include "editor/follow_cursor.h"

#include <gtest/gtest.h>

namespace {

using namespace editor;

TEST(FollowCursor, ScrollsToKeepTheCursorInSight) {
  struct TCase {
    const char* Name;
    std::int32_t ScrollPosition; // at 125 pixels per second
    double CursorTime;
    bool JumpIfLeft, Centre;
    std::int32_t Expected;
  };
  // A view 1000 pixels wide: six tenths of it are 4.8 s.
  const TCase cases[] = {
      {"at 85 % jumps", 0, 6.8, false, false, 48},
      {"at 80 % waits", 0, 6.4, false, false, 0},
      {"at 89.9 % jumps", 0, 7.192, false, false, 48},
      {"at 90 % waits", 0, 7.2, false, false, 0},
      {"at 95 % waits", 0, 7.6, false, false, 0},
      {"at 50 % waits", 0, 4.0, true, false, 0},
      {"left of the view, told to jump", 80, 3.04, true, false, 30},
      {"left of the view, not told", 80, 3.0, false, false, 80},
      {"centred", 80, 12.0, false, true, 100},
      {"centred from the left", 80, 3.0, true, true, 10},
      {"centred after jumping ahead", 0, 7.0, false, true, 50},
      {"centred before the start", 80, 0.5, false, true, -5},
      {"jump stops at the end", 270, 33.8, false, false, 300},
  };
  for (const TCase& c : cases) {
    TViewState view;
    view.PixelsPerSecond = 125;
    view.ScrollMin = -5;
    view.ScrollMax = 300;
    view.ScrollPosition = c.ScrollPosition;
    view.CursorTime = c.CursorTime;
    FollowCursor(view, 1000, c.JumpIfLeft, c.Centre);
    EXPECT_EQ(view.ScrollPosition, c.Expected) << c.Name;
  }
}

TEST(FollowCursor, JumpsBySixTenthsOfTheWidthRounded) {
  TViewState view; // 125 pixels per second, from -0.5 s
  view.ScrollPosition = 0;
  view.CursorTime = 5.5; // 688 of 814 pixels
  FollowCursor(view, 814, false, false);
  EXPECT_EQ(view.ScrollPosition, 39); // 6 * 814 / 125 = 39.07
}

} // namespace
