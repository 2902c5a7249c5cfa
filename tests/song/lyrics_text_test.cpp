#include "common/note_builder.h"
#include "song/lyrics_text.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

TSong SongOf(std::vector<TNote> notes) {
  TSong song;
  song.Notes = std::move(notes);
  return song;
}

struct TDecodeCase {
  const char* Name;
  std::string Bytes;
  std::u16string Text;
};

class DecodeText : public testing::TestWithParam<TDecodeCase> {};

TEST_P(DecodeText, ReadsTheBytesAsTheEditorShowsThem) {
  EXPECT_EQ(songData::DecodeText(GetParam().Bytes), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeText,
    testing::Values(TDecodeCase{"Ascii", "la ~", u"la ~"},
                    TDecodeCase{"TwoBytes", "\xC3\xA4", u"\u00E4"},
                    TDecodeCase{"ThreeBytes", "\xE2\x82\xAC", u"\u20AC"},
                    TDecodeCase{"FourBytesAsSurrogatePair", "a\xF0\x9F\x8E\xA4", u"a\U0001F3A4"},
                    // A wrong continuation byte is still taken, as it always was.
                    TDecodeCase{"WrongContinuation", "\xC3\x41", u"\u00C1"},
                    TDecodeCase{"StrayContinuation", "\x80x", u"\uFFFDx"},
                    TDecodeCase{"CutFourByteSequence", "\xF0\x9F", u"\uFFFD\uFFFD"},
                    TDecodeCase{"CutThreeByteSequence", "caf\xE9", u"caf\u0009"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(EncodeText, RoundTripsEveryPlaneAndReplacesLoneSurrogates) {
  const std::u16string text = u"a\u00E4\u20AC\U0001F3A4";
  EXPECT_EQ(songData::DecodeText(EncodeText(text)), text);
  EXPECT_EQ(EncodeText(u"x\xD800y"), "x\xEF\xBF\xBDy");
}

TEST(LyricsLines, OneLinePerSyllableWithoutLineBreaks) {
  TSong song = SongOf({MakeNote(nkNormal, 0, 1, 0, "a"), MakeNote(nkGolden, 2, 1, 0, "b"),
                       MakeNote(nkLineBreak, 4), MakeNote(nkFreestyle, 6, 1, 0, "c")});
  EXPECT_EQ(LyricsLines(song), (std::vector<std::u16string>{u"a", u"b", u"c"}));
}

TEST(TakeBackLyrics, TypedLineRewritesOnlyItsSyllable) {
  TSong song = SongOf({MakeNote(nkNormal, 0, 1, 0, "a"), MakeNote(nkLineBreak, 2),
                       MakeNote(nkNormal, 4, 1, 0, "b"), MakeNote(nkNormal, 6, 1, 0, "c")});
  EXPECT_TRUE(TakeBackLyrics(song, {u"a", u"B!", u"c", u""}));
  EXPECT_EQ(song.Notes[2].Text.Str(), "B!");
  EXPECT_EQ(song.Notes[3].Text.Str(), "c");
  // A deleted line shifts the later texts up; the last syllable keeps its own.
  TakeBackLyrics(song, {u"a", u"c"});
  EXPECT_EQ(song.Notes[2].Text.Str(), "c");
  EXPECT_EQ(song.Notes[3].Text.Str(), "c");
}

TEST(TakeBackLyrics, UnchangedLinesKeepBytesThatAreNotUtf8) {
  TSong song = SongOf({MakeNote(nkNormal, 0, 1, 0, "caf\xE9"), MakeNote(nkNormal, 2, 1, 0, "x")});
  std::vector<std::u16string> lines = LyricsLines(song);
  lines[1] = std::u16string(1, u'y');
  TakeBackLyrics(song, lines);
  EXPECT_EQ(song.Notes[0].Text.Str(), "caf\xE9");
  EXPECT_EQ(song.Notes[1].Text.Str(), "y");
}

TEST(TakeBackLyrics, LongLineIsCutTo47BytesOnACharacterBoundary) {
  TSong song = SongOf({MakeNote(nkNormal, 0, 1, 0, "a"), MakeNote(nkNormal, 2, 1, 0, "b")});
  // 46 ASCII letters and then "ä" (two bytes): the whole "ä" goes, not half of it.
  TakeBackLyrics(song, {std::u16string(60, u'x'), std::u16string(46, u'y') + u"\u00E4z"});
  EXPECT_EQ(song.Notes[0].Text.Str(), std::string(47, 'x'));
  EXPECT_EQ(song.Notes[1].Text.Str(), std::string(46, 'y'));
}

TEST(SyllableOfLine, CountsSyllablesOnly) {
  TSong song = SongOf({MakeNote(nkLineBreak, 0), MakeNote(nkNormal, 2, 1, 0, "a"),
                       MakeNote(nkNormal, 4, 1, 0, "b")});
  EXPECT_EQ(SyllableOfLine(song, 0), 1);
  EXPECT_EQ(SyllableOfLine(song, 1), 2);
  EXPECT_EQ(SyllableOfLine(song, 2), -1);
  EXPECT_EQ(SyllableOfLine(song, -1), -1);
}

} // namespace
