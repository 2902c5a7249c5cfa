#include "song/undo_history.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

TNote Note(std::int32_t start, bool selected = false) {
  TNote note;
  note.Start = start;
  note.Length = 1;
  note.Selected = selected;
  note.Text = std::to_string(start);
  return note;
}

class UndoHistory : public testing::Test {
protected:
  // An edit: a note whose start counts the edits, then the snapshot.
  void Edit(int n) {
    Song.Notes = {Note(n)};
    PushUndo(History, Song, false);
  }
  TSong Song;
  TUndoHistory History;
};

TEST_F(UndoHistory, ResetLeavesOneStateWithNothingToUndo) {
  Edit(1);
  Edit(2);
  PushUndo(History, Song, true);
  EXPECT_EQ(History.UndoCount, 1);
  EXPECT_EQ(History.UndoPos, 1);
  EXPECT_FALSE(CanUndo(History));
  EXPECT_FALSE(CanRedo(History));
}

TEST_F(UndoHistory, UndoRedoAndTheLostBranch) {
  Song.Notes = {Note(0)};
  PushUndo(History, Song, true);
  Edit(1);
  Undo(History, Song);
  EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(0)});
  EXPECT_TRUE(CanRedo(History));
  Undo(History, Song); // the oldest state cannot be stepped past
  EXPECT_EQ(History.UndoPos, 1);
  Redo(History, Song);
  EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(1)});
  Undo(History, Song);
  Edit(2);
  EXPECT_FALSE(CanRedo(History));
  EXPECT_EQ(History.UndoCount, 2);
  Undo(History, Song);
  EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(0)});
}

TEST_F(UndoHistory, RestoresTimingInSinglePrecisionAndLeavesTagsAndTranspose) {
  Song.BPM = 123.45;
  Song.MusicOffset = -1.2345;
  Song.VideoGap = 0.1;
  Song.Notes = {Note(3, true)};
  PushUndo(History, Song, true);
  Edit(4);
  Song.Tags = {"#TITLE:kept"};
  Song.Transpose = -24;
  Undo(History, Song);
  EXPECT_EQ(Song.BPM, static_cast<double>(123.45f));
  EXPECT_EQ(Song.MusicOffset, static_cast<double>(-1.2345f));
  EXPECT_EQ(Song.VideoGap, static_cast<double>(0.1f));
  EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(3, true)});
  EXPECT_EQ(Song.Tags, std::vector<std::string>{"#TITLE:kept"});
  EXPECT_EQ(Song.Transpose, -24);
  EXPECT_EQ(std::nearbyint(-Song.MusicOffset * 1000), 1235);
}

TEST_F(UndoHistory, AFullHistoryDropsOneOfTheFifteenOldest) {
  for (int seed = 0; seed < 50; ++seed) {
    History = TUndoHistory{};
    History.Random.seed(seed);
    Song.Notes.clear();
    PushUndo(History, Song, true);
    for (int n = 1; n <= 21; ++n)
      Edit(n); // 22 states in all
    ASSERT_EQ(History.UndoCount, UndoSlots);
    std::vector<int> kept;
    for (int slot = 1; slot <= UndoSlots; ++slot) {
      const auto& notes = History.Slots[slot]->Notes;
      kept.push_back(notes.empty() ? 0 : notes[0].Start);
    }
    for (int slot = 16; slot <= 20; ++slot)
      EXPECT_EQ(kept[slot - 1], slot + 1) << seed;
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    EXPECT_EQ(std::adjacent_find(kept.begin(), kept.end()), kept.end());
  }
}

TEST(UndoHistoryProgramWide, WrappersUseTheProgramSong) {
  Song = TSong{};
  Song.Notes = {Note(5)};
  PushUndo(true);
  Song.Notes.clear();
  PushUndo(false);
  EXPECT_TRUE(CanUndo());
  Undo();
  EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(5)});
  EXPECT_TRUE(CanRedo());
  Redo();
  EXPECT_TRUE(Song.Notes.empty());
}

} // namespace
