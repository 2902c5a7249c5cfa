#include "common/note_builder.h"
#include "song/song_model.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

// A normal note of pitch 5 unless told otherwise.
TNote Note(std::int32_t start, std::int32_t length, const char* text = "",
           TNoteKind kind = nkNormal, std::int32_t pitch = 5) {
  return MakeNote(kind, start, length, pitch, text);
}

struct TOverlapCase {
  const char* Name;
  TNote B;
  std::vector<TNote> Expected; // A first, then what is left of B, in array order
};

// Test names show the case, not the bytes of the record.
void PrintTo(const TOverlapCase& c, std::ostream* out) {
  *out << c.Name;
}

class ResolveOverlapsCase : public testing::TestWithParam<TOverlapCase> {};

TEST_P(ResolveOverlapsCase, GivesWayToTheMovedNote) {
  TSong song;
  song.Notes = {Note(10, 4, "x"), GetParam().B};
  ResolveOverlaps(song, 0);
  EXPECT_EQ(song.Notes, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveOverlapsCase,
    testing::Values(
        TOverlapCase{
            "InsideIsSplit",
            Note(8, 12, "y", nkGolden, 7),
            {Note(10, 4, "x"), Note(8, 2, "y", nkGolden, 7), Note(14, 6, "~", nkGolden, 7)}},
        TOverlapCase{"EndingTogetherMergesAfter", Note(12, 2, "y"), {Note(10, 4, "xy")}},
        TOverlapCase{"StartingTogetherMergesBefore", Note(10, 2, "y"), {Note(10, 4, "yx")}},
        TOverlapCase{"WithinIsDropped", Note(11, 2, "y"), {Note(10, 4, "x")}},
        TOverlapCase{"CoveringToTheEndIsMergedAfter", Note(6, 8, "y"), {Note(10, 4, "xy")}},
        TOverlapCase{
            "StartingTogetherKeepsItsRest", Note(10, 6, "y"), {Note(10, 4, "x"), Note(14, 2, "y")}},
        TOverlapCase{"HeadIsCut", Note(12, 6, "y"), {Note(10, 4, "x"), Note(14, 4, "y")}},
        TOverlapCase{"TailIsCut", Note(6, 6, "y"), {Note(10, 4, "x"), Note(6, 4, "y")}},
        TOverlapCase{"LineBreakInsideStays",
                     Note(12, 0, "", nkLineBreak, 0),
                     {Note(10, 4, "x"), Note(12, 0, "", nkLineBreak, 0)}},
        TOverlapCase{"NeighbourUntouched", Note(14, 3, "y"), {Note(10, 4, "x"), Note(14, 3, "y")}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ResolveOverlaps, JoinedTextsAreCutTo47Bytes) {
  TSong song;
  song.Notes = {Note(10, 4, std::string(40, 'a').c_str()),
                Note(12, 2, std::string(20, 'b').c_str())};
  ResolveOverlaps(song, 0);
  ASSERT_EQ(song.Notes.size(), 1u);
  EXPECT_EQ(song.Notes[0].Text.Str(), std::string(40, 'a') + std::string(7, 'b'));
}

TEST(ResolveOverlaps, RemovalsMoveTheLastRecordAndTheHoverFollowsIt) {
  TSong song;
  song.Notes = {Note(11, 1, "in"), Note(10, 4, "a"), Note(30, 2, "last")};
  std::int32_t hover = 2;
  ResolveOverlaps(song, 1, &hover);
  ASSERT_EQ(song.Notes.size(), 2u);
  EXPECT_EQ(song.Notes[0], Note(30, 2, "last"));
  EXPECT_EQ(hover, 0);
}

TEST(ResolveOverlaps, NoteOfNegativeLengthTakesNoRoom) {
  TSong song;
  song.Notes = {Note(12, -3, "r"), Note(8, 12, "y")};
  const std::vector<TNote> before = song.Notes;
  ResolveOverlaps(song, 0);
  EXPECT_EQ(song.Notes, before);
}

TEST(ResolveOverlaps, LengthZeroChangesNothingAndOnlyGivenWayNotesGo) {
  TSong song;
  song.Notes = {Note(4, 4, "star"), Note(8, 0, "", nkLineBreak, 0), Note(6, 0, "", nkLineBreak, 0)};
  const std::vector<TNote> before = song.Notes;
  ResolveOverlaps(song, 1);
  ResolveOverlaps(song, 2);
  EXPECT_EQ(song.Notes, before);
  // A note far before the song's start is no mark of removal.
  song.Notes = {Note(-1000, 0, "", nkLineBreak, 0), Note(10, 4, "a"), Note(-1000, 2, "early")};
  ResolveOverlaps(song, 1);
  EXPECT_EQ(song.Notes.size(), 3u);
}

TEST(ResolveOverlaps, ExtremeBeatsDoNotOverflow) {
  TSong song;
  song.Notes = {Note(INT32_MAX - 2, 100, "a"), Note(INT32_MAX - 10, 20, "b")};
  ResolveOverlaps(song, 0);
  ASSERT_EQ(song.Notes.size(), 2u);
  EXPECT_EQ(song.Notes[1].Start, INT32_MAX - 10);
  EXPECT_EQ(song.Notes[1].Length, 8);
}

TEST(DeleteNotes, LastIndexShortensAndSelectedAreAllRemoved) {
  TSong song;
  song.Notes = {Note(0, 1, "a"), Note(2, 1, "b"), Note(4, 1, "c")};
  DeleteNote(song, 2);
  EXPECT_EQ(song.Notes, (std::vector<TNote>{Note(0, 1, "a"), Note(2, 1, "b")}));

  song.Notes = {Note(0, 1, "a"), Note(2, 1, "b"), Note(4, 1, "c"), Note(6, 1, "d")};
  song.Notes[0].Selected = song.Notes[3].Selected = true;
  DeleteSelectedNotes(song);
  EXPECT_EQ(song.Notes, (std::vector<TNote>{Note(4, 1, "c"), Note(2, 1, "b")}));

  for (TNote& note : song.Notes)
    note.Selected = true;
  DeleteSelectedNotes(song);
  EXPECT_TRUE(song.Notes.empty());
}

TEST(DeleteNotes, TheHoverFollowsTheMovedRecordAndEndsWithTheDeletedOne) {
  struct TCase {
    std::int32_t Hover;
    std::size_t Deleted;
    std::int32_t HoverAfter;
  };
  for (TCase c : {TCase{2, 0, 0}, TCase{1, 0, 1}, TCase{2, 2, -1}, TCase{0, 0, -1}}) {
    TSong song;
    song.Notes = {Note(0, 1, "a"), Note(2, 1, "b"), Note(4, 1, "c")};
    std::int32_t hover = c.Hover;
    DeleteNote(song, c.Deleted, &hover);
    EXPECT_EQ(hover, c.HoverAfter) << c.Hover << " " << c.Deleted;
  }
}

TEST(SortNotes, IsStableAndIgnoresKind) {
  TSong song;
  TNote lineBreak = Note(8, 0, "", nkLineBreak, 0);
  song.Notes = {Note(8, 2, "b"), lineBreak, Note(0, 2, "a"), Note(8, 1, "c")};
  SortNotes(song);
  EXPECT_EQ(song.Notes,
            (std::vector<TNote>{Note(0, 2, "a"), Note(8, 2, "b"), lineBreak, Note(8, 1, "c")}));
}

TEST(SortNotes, TheFollowedIndexFollowsItsRecord) {
  for (std::int32_t hover = 0; hover < 4; ++hover) {
    TSong song;
    song.Notes = {Note(8, 2, "b"), Note(8, 0, "", nkLineBreak, 0), Note(0, 2, "a"),
                  Note(8, 1, "c")};
    const TNote hovered = song.Notes[hover];
    std::int32_t followed = hover;
    SortNotes(song, &followed);
    EXPECT_EQ(song.Notes[followed], hovered) << hover;
  }
}

} // namespace
