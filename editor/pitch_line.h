#pragma once
// The sung pitch over the note view: a thin line at the fractional tone of every
// confident block, broken where the singer pauses or jumps.
#include "audio/pitch_tracker.h"
#include "editor/canvas.h"
#include "editor/view_layout.h"
#include "song/song_model.h"

namespace editor {

constexpr std::uint32_t PitchLineColour = 0xFF40FF;
constexpr int PitchLineWidth = 2;

// Drawn on the grid only, never over the bands above and below it.
void DrawPitchLine(TCanvas& canvas, const songData::TSong& song, const TViewLayout& layout,
                   const pitch::TPitchContour& contour);

} // namespace editor
