#include "song/time_scale.h"

#include <gtest/gtest.h>

using namespace songData;

TEST(TimeConversions, BeatsSecondsAndGap) {
  EXPECT_DOUBLE_EQ(SongTimeOfBeat(300, 20), 1.0);
  EXPECT_DOUBLE_EQ(MusicTimeOf(-1.5, 1.0), 2.5);
  EXPECT_EQ(GapMillisecondsOf(-1.5), 1500);
  EXPECT_EQ(GapMillisecondsOf(0.5), -500);
}
