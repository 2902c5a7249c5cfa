#pragma once
// The snapshot history behind Undo and Redo: whole copies of the notes and the
// timing after each edit, 20 of them at most. GUI thread only.
#include "song/song_model.h"

#include <array>
#include <memory>
#include <random>
#include <vector>

namespace songData {

// The timing is kept in single precision, as the history always has.
class TUndoImage {
public:
  explicit TUndoImage(const TSong& song);
  void RestoreTo(TSong& song) const;

  std::vector<TNote> Notes;
  float BPM;
  float MusicOffset;
  float VideoGap;
};

constexpr int UndoSlots = 20;

struct TUndoHistory {
  std::array<std::unique_ptr<TUndoImage>, UndoSlots + 1> Slots; // 1..UndoSlots used
  int UndoCount = 0;     // slots 1..UndoCount are filled, oldest first
  int UndoPos = 0;       // the slot of the current state
  std::mt19937 Random{}; // chooses the state a full history drops
};

extern TUndoHistory History;

void PushUndo(TUndoHistory& history, const TSong& song, bool reset);
bool CanUndo(const TUndoHistory& history);
bool CanRedo(const TUndoHistory& history);
void Undo(TUndoHistory& history, TSong& song);
void Redo(TUndoHistory& history, TSong& song);

// The program-wide history and song.
void PushUndo(bool reset);
bool CanUndo();
bool CanRedo();
void Undo();
void Redo();

} // namespace songData
