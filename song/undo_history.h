#pragma once
// The history behind Undo and Redo: the notes and the timing after each edit,
// kept as one whole image and the differences between neighbouring states, so
// that a thousand edits of a long song take little room. GUI thread only.
#include "song/song_model.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace songData {

// The timing is kept in single precision, as the history always has.
class TUndoImage {
public:
  TUndoImage() = default;
  explicit TUndoImage(const TSong& song);
  void RestoreTo(TSong& song) const;
  bool operator==(const TUndoImage& other) const = default;

  std::vector<TNote> Notes;
  float BPM = 0;
  float MusicOffset = 0;
  float VideoGap = 0;
};

// What changed from one image to the next, applied in either direction.
class TUndoDelta {
public:
  TUndoDelta(const TUndoImage& before, const TUndoImage& after);
  void Forward(TUndoImage& image) const;  // before to after
  void Backward(TUndoImage& image) const; // after to before
  std::size_t Bytes() const;

private:
  void ToggleChanged(TUndoImage& image) const;
  static void ReplaceRun(std::vector<TNote>& notes, std::size_t at, std::size_t count,
                         const std::vector<TNote>& with);

  // For each record changed in place: its position, a mask of the 32-bit words
  // that differ, and those words of before XOR after, which turn either into the other.
  std::vector<std::uint32_t> changed_;
  // Records [tailAt_, tailAt_ + removed_.size()) of before are added_ in after;
  // the records behind them are the same in both.
  std::uint32_t tailAt_ = 0;
  std::vector<TNote> removed_;
  std::vector<TNote> added_;
  float bpm_[2] = {};
  float musicOffset_[2] = {};
  float videoGap_[2] = {};
};

// The states of the history in slots 1, 2, ... oldest first: the image of one
// slot (where the last look-up left it) and the deltas between neighbours.
class TUndoSlots {
public:
  // Leaves the one slot holding image.
  void Reset(TUndoImage image);
  // The image of a filled slot, valid until the slots next change or are looked up.
  const TUndoImage* operator[](int slot);
  // Adds the slot after the last; delta leads from the last slot's image to image.
  void Append(TUndoDelta delta, TUndoImage image);
  void DropAfter(int slot);
  void DropOldest();
  // The bytes held, for the memory figure.
  std::size_t Bytes() const;

private:
  void MoveTo(int slot);

  TUndoImage image_;
  int imageSlot_ = 0;
  std::vector<TUndoDelta> deltas_; // deltas_[i] leads from slot i + 1 to slot i + 2
};

// A thousand edits can be undone unless the window's setting says otherwise.
constexpr int DefaultUndoCapacity = 1000;

struct TUndoHistory {
  TUndoSlots Slots;
  int UndoCount = 0; // slots 1..UndoCount are filled, oldest first
  int UndoPos = 0;   // the slot of the current state
  // The most edits that can be undone: a full history drops its oldest state,
  // so the edits undone are always the latest ones.
  int Capacity = DefaultUndoCapacity;
};

extern TUndoHistory History;

// A state the same as the current one is no new step and keeps what can be redone.
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
