#pragma once
// The line display: the lyric line around the play cursor in karaoke colours.
#include "song/song_model.h"

#include <QImage>

namespace editor {

// Repaints the whole image with the voice's line; cursorTime is in seconds of
// song time.
void DrawLineDisplay(QImage& image, const songData::TSong& song, double cursorTime,
                     std::uint8_t voice = songData::FirstVoice);

} // namespace editor
