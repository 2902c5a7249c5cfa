#pragma once
// Edits of one voice of a duet that leave the other voice alone: both sing at
// the same time, so a note of one never cuts, pushes or removes the other's.
#include "song/song_model.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace editor {

// Runs the edit on the voice's records alone, as if the other voice were not
// there. The other voice's records keep their slots; every record the edit
// leaves belongs to the voice. HoverIndex follows its record.
void EditVoice(songData::TSong& song, std::uint8_t voice,
               const std::function<void(songData::TSong&)>& edit);

// The hovered note's voice gives way to it (ResolveOverlaps within the voice).
void ResolveHoveredOverlaps(songData::TSong& song);

// Paste: the records join the voice and win over its notes only.
void PasteIntoVoice(songData::TSong& song, const std::vector<songData::TNote>& records,
                    double cursorTime, std::uint8_t voice);

} // namespace editor
