#pragma once
// What mouse gestures and note keys do to the song, apart from the window:
// hit testing, creating, dragging, stretching, range selection, delete and the
// golden and freestyle toggles. The hovered record is the song's HoverIndex.
#include "editor/view_state.h"
#include "song/song_model.h"

#include <cstdint>
#include <string>

namespace editor {

enum TRangeMode : std::uint8_t { rmReplace = 1, rmRemove = 2, rmAdd = 3 };

struct THit {
  THoverMode Mode = hmNothing;
  std::int32_t Index = 0;
};

// The hovered record, or nullptr when HoverIndex lies outside Notes.
songData::TNote* HoveredNote(songData::TSong& song);

// What lies under the pointer: a note (its body or an edge zone, whose width
// grows with the note's length) wins over a line break within 2 pixels.
THit HitTest(const songData::TSong& song, const TViewState& view, std::int32_t x, std::int32_t y);

// A new note of length 0 at the beat and row under the pointer, text "~";
// returns its index.
std::int32_t AddNoteAt(songData::TSong& song, const TViewState& view, std::int32_t x,
                       std::int32_t y);

// The dragged note takes pitch p and every other selected note moves with it;
// returns whether anything changed.
bool SetDraggedPitch(songData::TSong& song, std::size_t dragged, std::int32_t pitch);
// Moves the dragged and the selected notes by d beats in one pass in array
// order; the other records they run into are pushed along.
void MoveDraggedNotes(songData::TSong& song, std::size_t dragged, std::int32_t d);

// An edge dragged across the other edge turns the note around and the drag goes
// on with the other edge.
void NormaliseHovered(songData::TSong& song, TViewState& view);
// The left button's release: a note of length 0 becomes a line break, a
// negative length is turned around.
void FinishGesture(songData::TNote& note);

// Marks the notes inside the range; SelectedCount follows.
void SelectRange(songData::TSong& song, TViewState& view, TRangeMode mode);
std::int32_t CountSelected(const songData::TSong& song);

// Delete: the hovered record alone, or every selected one when the hovered one
// is selected or nothing is hovered. Returns whether it applied.
bool DeleteNotes(songData::TSong& song, TViewState& view);
// G and F on the hovered note; they apply (and return true) over a note only.
bool ToggleGolden(songData::TSong& song, const TViewState& view);
bool ToggleFreestyle(songData::TSong& song, const TViewState& view);

// "m:ss.zzz" of |t| to the nearest millisecond, "-" in front below zero.
std::string TimeText(double seconds);

} // namespace editor
