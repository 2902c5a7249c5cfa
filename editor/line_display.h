#pragma once
// The line display: the lyric line around the play cursor in karaoke colours.
#include "song/song_model.h"

#include <QImage>

namespace editor {

// Repaints the whole image; cursorTime is in seconds of song time.
void DrawLineDisplay(QImage& image, const songData::TSong& song, double cursorTime);

} // namespace editor
