#pragma once
// The note view: the song as a piano roll over the music's spectrogram.
#include "audio/analyser.h"
#include "audio/pitch_tracker.h"
#include "editor/view_state.h"
#include "song/song_model.h"

#include <QImage>
#include <vector>

namespace editor {

// Repaints the whole image from the song and the view state, laid out for the
// image's size (LayoutOf); the view state is only read. timelineLength is the
// timeline's length in seconds; the beat lines run 10 seconds past it. The
// strips may still be filling on other threads. The sung pitch is drawn over
// the notes when a contour is given.
void DrawView(QImage& image, const songData::TSong& song, const TViewState& view,
              const std::vector<analyser::TSpectrumStrip>& strips, double timelineLength,
              const pitch::TPitchContour* contour = nullptr);

} // namespace editor
