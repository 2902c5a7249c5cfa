#include "editor/beat_scale.h"
#include "editor/timeline.h"

#include <gtest/gtest.h>

using namespace editor;

TEST(BeatScale, FollowsTheTempo) {
  EXPECT_EQ(BeatScaleOf(300).PixelsPerBeat, 10);
  EXPECT_DOUBLE_EQ(BeatScaleOf(300).PixelsPerSecond, 200);
  EXPECT_EQ(BeatScaleOf(125).PixelsPerBeat, 15);
  EXPECT_DOUBLE_EQ(BeatScaleOf(125).PixelsPerSecond, 125);
  // 1080/240 + 6 = 10.5 rounds to the even 10.
  EXPECT_EQ(BeatScaleOf(240).PixelsPerBeat, 10);
}

TEST(BeatScale, StaysInRangeForTempoZero) {
  EXPECT_EQ(BeatScaleOf(0).PixelsPerBeat, INT32_MAX);
}

TEST(Timeline, StartsBeforeTheMusicAndCoversIt) {
  songData::TSong song;
  song.MusicOffset = -5;
  TTimeline timeline = TimelineOf(song, 0);
  EXPECT_DOUBLE_EQ(timeline.Start, -6);
  EXPECT_EQ(timeline.ScrollMin, -75);
  EXPECT_EQ(timeline.ScrollMax, 990);

  song.MusicOffset = 0.5;
  song.MusicLoaded = true;
  timeline = TimelineOf(song, 60);
  EXPECT_DOUBLE_EQ(timeline.Start, -2);
  EXPECT_DOUBLE_EQ(timeline.Length, 70);
  EXPECT_EQ(timeline.ScrollMax, 730);
}
