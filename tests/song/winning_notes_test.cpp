#include "common/note_builder.h"
#include "song/winning_notes.h"

#include <gtest/gtest.h>
#include <random>

using namespace songData;

namespace {

// Crowded small songs: overlapping notes, both voices, line breaks, lengths of
// zero or less, texts that show the order of merges, and a hovered record.
TNote RandomNote(std::mt19937& random) {
  const TNoteKind kinds[] = {nkNormal, nkGolden, nkFreestyle, nkLineBreak, nkRap};
  TNote note = MakeNote(kinds[random() % 5], std::int32_t(random() % 30) - 2,
                        std::int32_t(random() % 13) - 2, std::int32_t(random() % 3),
                        std::string(1, char('a' + random() % 26)));
  if (note.IsLineBreak()) note.Length = 0;
  note.Voice = random() % 4 == 0 ? SecondVoice : FirstVoice;
  note.Selected = random() % 2 == 0;
  return note;
}

TEST(AppendWinningNotes, GivesWhatResolvingEachAppendedNoteGives) {
  std::mt19937 random(18);
  for (int round = 0; round < 20000; ++round) {
    TSong song;
    for (std::size_t n = random() % 9; n > 0; --n)
      song.Notes.push_back(RandomNote(random));
    std::int32_t hover = std::int32_t(random() % (song.Notes.size() + 1)) - 1;
    std::vector<TNote> appended;
    for (std::size_t n = random() % 9; n > 0; --n)
      appended.push_back(RandomNote(random));

    TSong expected = song;
    std::int32_t expectedHover = hover;
    for (const TNote& note : appended) {
      expected.Notes.push_back(note);
      ResolveOverlaps(expected, expected.Notes.size() - 1, &expectedHover);
    }
    AppendWinningNotes(song, appended, &hover);
    ASSERT_EQ(song.Notes, expected.Notes) << "round " << round;
    ASSERT_EQ(hover, expectedHover) << "round " << round;
  }
}

} // namespace
