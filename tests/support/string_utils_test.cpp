#include "support/string_utils.h"

#include <gtest/gtest.h>

using namespace MyServis;
using Items = std::vector<std::string>;

TEST(Quote, QuotesOnlyWhenNeeded) {
  EXPECT_EQ(Quote("", false, '"'), "\"\"");
  EXPECT_EQ(Quote("abc", false, '"'), "abc");
  EXPECT_EQ(Quote("a b", false, '"'), "\"a b\"");
  EXPECT_EQ(Quote("a\tb", false, '"'), "\"a\tb\"");
  EXPECT_EQ(Quote("\"x", false, '"'), "\"\"\"x\"");
  EXPECT_EQ(Quote("abc", true, '\''), "'abc'");
}

TEST(Unquote, RestoresWhatQuoteMade) {
  EXPECT_EQ(Unquote("\"say \"\"hi\"\"\"", '"'), "say \"hi\"");
  EXPECT_EQ(Unquote("\"", '"'), "");
  EXPECT_EQ(Unquote("\"open", '"'), "open");
  EXPECT_EQ(Unquote("plain \"\"", '"'), "plain \"\"");
  for (const char* text : {"", "a b", "\"", "x\"\"y", "\"\""})
    EXPECT_EQ(Unquote(Quote(text, true, '"'), '"'), text) << text;
}

TEST(SplitQuoted, ItemsQuotedAndPlain) {
  EXPECT_EQ(SplitQuoted(",", "a,\"b c\",d", '"'), (Items{"a", "b c", "d"}));
  EXPECT_EQ(SplitQuoted(",", "a,,b", '"'), (Items{"a", "", "b"}));
  EXPECT_EQ(SplitQuoted(",", "  a  , b ", 0), (Items{"a", "b "}));
  EXPECT_EQ(SplitQuoted(",", "\"x\"\"y\",z", '"'), (Items{"x\"y", "z"}));
  EXPECT_EQ(SplitQuoted(",", "a,\"open", '"'), (Items{"a"}));
  EXPECT_EQ(SplitQuoted(":", "#TITLE: My: Song", 0), (Items{"#TITLE", "My", "Song"}));
  EXPECT_EQ(SplitQuoted(",", "   ", '"'), Items{});
}

TEST(Explode, AlwaysOnePieceMoreThanSeparators) {
  EXPECT_EQ(Explode("\r\n", ""), Items{""});
  EXPECT_EQ(Explode("\r\n", "a\r\nb\r\n"), (Items{"a", "b", ""}));
  EXPECT_EQ(Explode("aa", "aaa"), (Items{"", "a"}));
}

TEST(TrimBlanks, RemovesControlCharactersAndSpaces) {
  EXPECT_EQ(TrimBlanks("\t\r\n x y \x01"), "x y");
  EXPECT_EQ(TrimBlanks(" \x7F "), "\x7F");
}

TEST(SameText, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SameText("#Bpm", "#BPM"));
  EXPECT_FALSE(SameText("\xC3\xA9", "\xC3\x89"));
  EXPECT_EQ(FindText("song.TXT.txt", ".txt"), 4u);
  EXPECT_EQ(FindText("song", ".txt"), std::string::npos);
}
