#pragma once
// Where things lie in the note view: pixels against beats, seconds and tones.
// Results are saturated at the 32-bit range, so absurd tempos and pitches give
// far-away coordinates instead of overflow.
#include "editor/view_state.h"
#include "song/time_scale.h"

#include <cstdint>
#include <string_view>

namespace editor {

// Row 0, at the top, shows this tone value; tone value 0 is C4.
constexpr std::int32_t TopRowTone = 29;

// The integer nearest to value, a tie going to the even one; NaN gives 0.
std::int32_t Nearest(double value);

std::int32_t BeatToX(const TViewState& view, double beat);
std::int32_t SecondsToX(const TViewState& view, double seconds);
double XToSeconds(const TViewState& view, std::int32_t x);
std::int32_t XToBeat(const TViewState& view, std::int32_t x);
std::int32_t YToRow(const TViewState& view, std::int32_t y);
std::int32_t RowTone(std::int32_t row);
std::int32_t YToPitch(const TViewState& view, std::int32_t y, std::int32_t transpose);
std::int32_t NoteRowTop(const TViewState& view, std::int32_t pitch, std::int32_t transpose);

// "C", "C#" ... "B" for any tone value.
std::string_view ToneName(std::int32_t tone);

// The horizontal scale of a tempo.
void ApplyBeatScale(TViewState& view, double bpm);
// The scroll range of a timeline; the position is kept inside it.
void ApplyTimeline(TViewState& view, const songData::TTimeline& timeline);

} // namespace editor
