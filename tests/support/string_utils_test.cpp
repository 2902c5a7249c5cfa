#include "support/string_utils.h"

#include <gtest/gtest.h>

using namespace MyServis;

TEST(Quote, QuotesOnlyWhenNeeded) {
  EXPECT_EQ(Quote("", false, '"'), "\"\"");
  EXPECT_EQ(Quote("abc", false, '"'), "abc");
  EXPECT_EQ(Quote("a b", false, '"'), "\"a b\"");
  EXPECT_EQ(Quote("a\tb", false, '"'), "\"a\tb\"");
  EXPECT_EQ(Quote("\"x", false, '"'), "\"\"\"x\"");
  EXPECT_EQ(Quote("abc", true, '\''), "'abc'");
}
