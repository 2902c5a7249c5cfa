#pragma once
// What the song file holds after the last load or save, to tell whether the
// song in the editor has changes that would be lost.
#include "song/song_model.h"

#include <string>

namespace songData {

class TSongBaseline {
public:
  void Capture(const TSong& song);
  // Compares the file this song would write with the captured one: selection
  // marks and the transposition do not count, nor a tempo or gap that writes
  // the same, as one restored from single precision by Undo does.
  bool Differs(const TSong& song) const;

private:
  std::string savedText_;
  // The window asks on every timer tick: the file text is made again only when
  // something it is made of changed since the last question.
  mutable TSong lastSeen_;
  mutable bool lastDiffers_ = false;
};

} // namespace songData
