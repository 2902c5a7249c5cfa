#include "song/undo_history.h"

namespace songData {

TUndoHistory History;

TUndoImage::TUndoImage(const TSong& song)
    : Notes(song.Notes), BPM(static_cast<float>(song.BPM)),
      MusicOffset(static_cast<float>(song.MusicOffset)),
      VideoGap(static_cast<float>(song.VideoGap)) {}

void TUndoImage::RestoreTo(TSong& song) const {
  song.BPM = BPM;
  song.MusicOffset = MusicOffset;
  song.VideoGap = VideoGap;
  song.Notes = Notes;
}

void PushUndo(TUndoHistory& h, const TSong& song, bool reset) {
  auto image = std::make_unique<TUndoImage>(song);
  if (reset) {
    for (auto& slot : h.Slots)
      slot.reset();
    h.UndoCount = 0;
    h.UndoPos = 0;
  }
  for (int i = h.UndoPos + 1; i <= h.UndoCount; ++i)
    h.Slots[i].reset();
  if (h.UndoPos < h.UndoCount) h.UndoCount = h.UndoPos;
  if (h.UndoCount == UndoSlots) {
    // Drop one of the 15 oldest, the very oldest most often; the 5 newest always stay.
    int r1 = std::uniform_int_distribution<int>(0, 15)(h.Random);
    int r2 = r1 == 0 ? 0 : std::uniform_int_distribution<int>(0, r1 - 1)(h.Random);
    for (int slot = r2 + 1; slot < UndoSlots; ++slot)
      h.Slots[slot] = std::move(h.Slots[slot + 1]);
  } else {
    h.UndoCount += 1;
  }
  h.Slots[h.UndoCount] = std::move(image);
  h.UndoPos = h.UndoCount;
}

bool CanUndo(const TUndoHistory& h) {
  return h.UndoPos > 1;
}

bool CanRedo(const TUndoHistory& h) {
  return h.UndoPos < h.UndoCount;
}

void Undo(TUndoHistory& h, TSong& song) {
  if (!CanUndo(h)) return;
  h.UndoPos -= 1;
  h.Slots[h.UndoPos]->RestoreTo(song);
}

void Redo(TUndoHistory& h, TSong& song) {
  if (!CanRedo(h)) return;
  h.UndoPos += 1;
  h.Slots[h.UndoPos]->RestoreTo(song);
}

void PushUndo(bool reset) {
  PushUndo(History, Song, reset);
}
bool CanUndo() {
  return CanUndo(History);
}
bool CanRedo() {
  return CanRedo(History);
}
void Undo() {
  Undo(History, Song);
}
void Redo() {
  Redo(History, Song);
}

} // namespace songData
