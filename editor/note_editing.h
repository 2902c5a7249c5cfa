#pragma once
// What mouse gestures and note keys do to the song, apart from the window:
// hit testing, creating, dragging, stretching, range selection, delete and the
// golden, freestyle and rap toggles. The hovered record is the view's
// HoverIndex; all of them work on the view's edited voice.
#include "editor/view_layout.h"
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
songData::TNote* HoveredNote(songData::TSong& song, const TViewState& view);

// What lies under the pointer among the edited voice's records: a note (its
// body or an edge zone, whose width grows with the note's length) wins over a
// line break within 2 pixels. Zoomed out, the edge zones shrink with the beats.
THit HitTest(const songData::TSong& song, const TViewState& view, const TViewLayout& layout,
             std::int32_t x, std::int32_t y);

// A new note of the edited voice, of length 0 at the beat and row under the
// pointer, text "~"; returns its index.
std::int32_t AddNoteAt(songData::TSong& song, const TViewState& view, const TViewLayout& layout,
                       std::int32_t x, std::int32_t y);

// The dragged note takes pitch p and every other selected note of its voice
// moves with it; returns whether anything changed.
bool SetDraggedPitch(songData::TSong& song, std::size_t dragged, std::int32_t pitch);
// Moves the dragged and the selected notes by d beats in one pass in array
// order; the other records of their voice they run into are pushed along.
void MoveDraggedNotes(songData::TSong& song, std::size_t dragged, std::int32_t d);

// An edge dragged across the other edge turns the note around and the drag goes
// on with the other edge.
void NormaliseHovered(songData::TSong& song, TViewState& view);
// The left button's release: a note of length 0 becomes a line break, a
// negative length is turned around.
void FinishGesture(songData::TNote& note);
// A line break at index where another of its voice already stands is removed:
// a second click there makes none. follow keeps pointing at its record. Returns
// whether it was removed.
bool DropDoubledLineBreak(songData::TSong& song, std::size_t index, std::int32_t* follow);

// Marks the edited voice's notes inside the range; SelectedCount follows.
void SelectRange(songData::TSong& song, TViewState& view, TRangeMode mode);
std::int32_t CountSelected(const songData::TSong& song);
// Select All: every record of the edited voice, and nothing of the other.
void SelectVoice(songData::TSong& song, TViewState& view);
// Only the edited voice keeps selection marks, so that Delete, Cut and Copy
// never reach the other voice.
void KeepSelectionInVoice(songData::TSong& song, TViewState& view);
// Switches the edited voice; nothing stays hovered.
void ChooseVoice(songData::TSong& song, TViewState& view, std::uint8_t voice);

// Delete: the hovered record alone, or every selected one when the hovered one
// is selected or nothing is hovered. Returns whether it applied.
bool DeleteNotes(songData::TSong& song, TViewState& view);
// G, F and R on the hovered note of the edited voice; they apply (and return
// true) over such a note only. G and F take a rap note for its sung kind; R
// turns a normal or golden note into its rap kind and back.
bool ToggleGolden(songData::TSong& song, const TViewState& view);
bool ToggleFreestyle(songData::TSong& song, const TViewState& view);
bool ToggleRap(songData::TSong& song, const TViewState& view);

// "m:ss.zzz" of |t| to the nearest millisecond, "-" in front below zero.
std::string TimeText(double seconds);

} // namespace editor
