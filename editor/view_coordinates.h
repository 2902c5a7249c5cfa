#pragma once
// Where things lie in the note view: pixels against beats, seconds and tones,
// by the view's layout. Results are saturated at the 32-bit range, so absurd
// tempos and pitches give far-away coordinates instead of overflow.
#include "editor/view_layout.h"

#include <cstdint>
#include <string_view>

namespace editor {

// The integer nearest to value, a tie going to the even one; NaN gives 0.
std::int32_t Nearest(double value);

std::int32_t BeatToX(const TViewLayout& layout, double beat);
std::int32_t SecondsToX(const TViewLayout& layout, double seconds);
double XToSeconds(const TViewLayout& layout, std::int32_t x);
std::int32_t XToBeat(const TViewLayout& layout, std::int32_t x);
std::int32_t YToRow(const TViewLayout& layout, std::int32_t y);
std::int32_t RowTone(const TViewLayout& layout, std::int32_t row);
std::int32_t YToPitch(const TViewLayout& layout, std::int32_t y, std::int32_t transpose);
std::int32_t NoteRowTop(const TViewLayout& layout, std::int32_t pitch, std::int32_t transpose);
// The y of a fractional tone value: the middle of its row at whole tones.
double ToneY(const TViewLayout& layout, double tone);
// Whether y lies on the grid's rows.
bool OnGrid(const TViewLayout& layout, std::int32_t y);

// "C", "C#" ... "B" for any tone value.
std::string_view ToneName(std::int32_t tone);

// The horizontal scale of a tempo.
void ApplyBeatScale(TViewState& view, double bpm);

} // namespace editor
