#include "song/undo_history.h"

#include <gtest/gtest.h>
#include <random>

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

TEST_F(UndoHistory, AFullHistoryDropsItsOldestState) {
  History.Capacity = 3;
  PushUndo(History, Song, true);
  for (int n = 1; n <= 5; ++n)
    Edit(n);
  EXPECT_EQ(History.UndoCount, 4);
  for (int n : {4, 3, 2}) {
    Undo(History, Song);
    EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(n)});
  }
  EXPECT_FALSE(CanUndo(History));
  History.Capacity = 1; // a smaller setting takes effect with the next edit
  Edit(6);
  EXPECT_EQ(History.UndoCount, 2);
  Undo(History, Song);
  EXPECT_EQ(Song.Notes, std::vector<TNote>{Note(2)});
}

TEST_F(UndoHistory, TheSameStateAgainIsNoStepAndKeepsTheRedo) {
  Song.Notes = {Note(0)};
  PushUndo(History, Song, true);
  Edit(1);
  Edit(1);
  EXPECT_EQ(History.UndoCount, 2);
  Undo(History, Song);
  PushUndo(History, Song, false);
  EXPECT_EQ(History.UndoPos, 1);
  EXPECT_TRUE(CanRedo(History));
  Song.Notes[0].Selected = true; // the marks are part of a state
  PushUndo(History, Song, false);
  EXPECT_EQ(History.UndoCount, 2);
  EXPECT_FALSE(CanRedo(History));
}

// The kinds of edit the editor makes: notes moved and sorted, deleted (the last
// record taking the freed slot), inserted or appended, texts, marks, a whole
// transposition, and the timing.
void RandomEdit(TSong& song, std::mt19937& random) {
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  const std::size_t count = song.Notes.size();
  const std::size_t i = count == 0 ? 0 : pick(count);
  switch (count == 0 ? 2 : pick(8)) {
  case 0:
    song.Notes[i].Start += static_cast<std::int32_t>(pick(9)) - 4;
    SortNotes(song);
    break;
  case 1:
    DeleteNote(song, i);
    break;
  case 2:
    song.Notes.insert(song.Notes.begin() + static_cast<std::ptrdiff_t>(pick(count + 1)),
                      Note(static_cast<std::int32_t>(pick(1000))));
    break;
  case 3:
    song.Notes.push_back(Note(static_cast<std::int32_t>(pick(1000)), pick(2) == 0));
    break;
  case 4:
    song.Notes[i].Text = std::string(pick(48), 'a' + static_cast<char>(pick(26)));
    break;
  case 5:
    song.Notes[i].Selected = !song.Notes[i].Selected;
    song.Notes[i].Pitch += static_cast<std::int32_t>(pick(3)) - 1;
    break;
  case 6:
    for (TNote& note : song.Notes)
      note.Pitch += 12;
    break;
  default:
    song.BPM = 60 + static_cast<double>(pick(30000)) / 100;
    song.MusicOffset = -static_cast<double>(pick(100000)) / 1000;
    song.VideoGap = static_cast<double>(pick(1000)) / 7;
    break;
  }
}

void ExpectState(const TSong& song, const TUndoImage& image, std::size_t slot) {
  ASSERT_EQ(song.Notes, image.Notes) << "slot " << slot;
  ASSERT_EQ(song.BPM, image.BPM) << "slot " << slot;
  ASSERT_EQ(song.MusicOffset, image.MusicOffset) << "slot " << slot;
  ASSERT_EQ(song.VideoGap, image.VideoGap) << "slot " << slot;
}

TSong RandomSong(std::size_t count, std::mt19937& random) {
  TSong song;
  for (std::size_t i = 0; i < count; ++i)
    song.Notes.push_back(Note(static_cast<std::int32_t>(random() % 1000)));
  SortNotes(song);
  song.BPM = 123.45;
  song.MusicOffset = -1.234;
  return song;
}

// Whole snapshots, the history's own reference: the same state again is no step.
struct TSnapshots {
  void Push(const TSong& song) {
    const TUndoImage image(song);
    if (image == States[Pos]) return;
    States.resize(Pos + 1);
    States.push_back(image);
    ++Pos;
  }
  std::vector<TUndoImage> States;
  std::size_t Pos = 0;
};

TEST_F(UndoHistory, AThousandRandomEditsUndoAndRedoToTheWholeSnapshots) {
  std::mt19937 random(19);
  Song = RandomSong(200, random);
  PushUndo(History, Song, true);
  TSnapshots snapshots{{TUndoImage(Song)}};
  for (int edit = 0; edit < 1000; ++edit) {
    RandomEdit(Song, random);
    PushUndo(History, Song, false);
    snapshots.Push(Song);
  }
  ASSERT_GT(snapshots.States.size(), 950u);
  ASSERT_EQ(History.UndoCount, static_cast<int>(snapshots.States.size()));
  for (std::size_t slot = snapshots.States.size() - 1; slot > 0; --slot) {
    Undo(History, Song);
    ExpectState(Song, snapshots.States[slot - 1], slot - 1);
  }
  EXPECT_FALSE(CanUndo(History));
  for (std::size_t slot = 1; slot < snapshots.States.size(); ++slot) {
    Redo(History, Song);
    ExpectState(Song, snapshots.States[slot], slot);
  }
  EXPECT_FALSE(CanRedo(History));
}

TEST_F(UndoHistory, EditsUndoAndRedoInAnyOrderMatchTheWholeSnapshots) {
  std::mt19937 random(7);
  History.Capacity = 40;
  Song = RandomSong(60, random);
  PushUndo(History, Song, true);
  TSnapshots snapshots{{TUndoImage(Song)}};
  for (int action = 0; action < 3000; ++action) {
    const unsigned kind = random() % 4;
    if (kind == 0 && CanUndo(History)) {
      Undo(History, Song);
      --snapshots.Pos;
      ExpectState(Song, snapshots.States[snapshots.Pos], snapshots.Pos);
    } else if (kind == 1 && CanRedo(History)) {
      Redo(History, Song);
      ++snapshots.Pos;
      ExpectState(Song, snapshots.States[snapshots.Pos], snapshots.Pos);
    } else {
      RandomEdit(Song, random);
      PushUndo(History, Song, false);
      snapshots.Push(Song);
      if (snapshots.States.size() > 41) { // the oldest goes
        snapshots.States.erase(snapshots.States.begin());
        --snapshots.Pos;
      }
    }
    ASSERT_EQ(History.UndoCount, static_cast<int>(snapshots.States.size())) << action;
    ASSERT_EQ(History.UndoPos, static_cast<int>(snapshots.Pos) + 1) << action;
  }
}

TEST_F(UndoHistory, AThousandNoteEditsOfALongSongStayWithin64MB) {
  std::mt19937 random(5);
  Song = RandomSong(5000, random);
  PushUndo(History, Song, true);
  for (int edit = 0; edit < 1000; ++edit) {
    TNote& note = Song.Notes[random() % Song.Notes.size()];
    if (edit % 3 == 0) note.Start += 1;
    if (edit % 3 == 1) note.Pitch += 1;
    if (edit % 3 == 2) note.Text = "edit" + std::to_string(edit);
    PushUndo(History, Song, false);
  }
  ASSERT_EQ(History.UndoCount, 1001);
  const std::size_t bytes = History.Slots.Bytes();
  RecordProperty("UndoBytes", std::to_string(bytes));
  EXPECT_LT(bytes, std::size_t{64} << 20);
  // A thousand whole copies of the notes would take 320 MB.
  EXPECT_LT(bytes, 4 * Song.Notes.size() * sizeof(TNote));
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
