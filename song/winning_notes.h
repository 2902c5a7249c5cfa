#pragma once
// Appending many notes that each win over the notes already there, as paste
// does, in time that grows with n log n instead of with the square of n.
#include "song/song_model.h"

#include <vector>

namespace songData {

// Appends the notes one after another, each followed by ResolveOverlaps on it:
// the same records in the same order and the same followed index as that loop.
void AppendWinningNotes(TSong& song, const std::vector<TNote>& notes,
                        std::int32_t* follow = nullptr);

} // namespace songData
