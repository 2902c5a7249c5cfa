#pragma once
// What the song file holds after the last load or save, to tell whether the
// song in the editor has changes that would be lost.
#include "song/song_model.h"

#include <string>
#include <vector>

namespace songData {

class TSongBaseline {
public:
  void Capture(const TSong& song);
  // Selection marks are not saved and do not count; the texts, the timing, the
  // notes and the header lines do.
  bool Differs(const TSong& song) const;

private:
  std::vector<TNote> notes_;
  double bpm_ = 0;
  double musicOffset_ = 0;
  double videoGap_ = 0;
  std::vector<std::string> tags_;
};

} // namespace songData
