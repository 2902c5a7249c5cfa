#pragma once
// The note view's state shared by drawing, the mouse, the keyboard and the
// parameter fields: plain values, owned by the main window. GUI thread only.
#include "song/note.h"

#include <cstdint>

namespace editor {

constexpr std::int32_t NoHoverTone = -100;
constexpr float NoRange = -1000.0f;
// The tone of the top row at the start; tone value 0 is C4.
constexpr std::int32_t TopRowTone = 29;

enum THoverMode : std::uint8_t {
  hmNothing = 0,
  hmLeftEdge = 1,
  hmRightEdge = 2,
  hmBody = 3,
  hmLineBreak = 4,
};

struct TViewState {
  // The beat scale of the tempo at 100 %.
  std::int32_t PixelsPerBeat = 15;
  double PixelsPerSecond = 125.0;
  // Horizontal zoom (1 is 100 %), the zoom of the row height, and the tone of
  // the top row; the layout follows from these and the view's size.
  double Zoom = 1.0;
  double RowZoom = 1.0;
  std::int32_t TopTone = TopRowTone;

  double CursorTime = 0.0; // play cursor, seconds of song time
  std::int32_t HoverTone = NoHoverTone;
  std::int32_t HoverIndex = -1;     // the record mouse and keyboard edits act on; -1: none
  THoverMode HoverMode = hmNothing; // what of the HoverIndex record lies under the mouse
  float RangeStart = NoRange;       // seconds of song time; both NoRange: no range
  float RangeEnd = NoRange;
  std::int32_t SelectedCount = 0;
  // The voice of a duet being edited: new notes, the memo, the keys and the
  // player work on it; the other is drawn dimmed.
  std::uint8_t Voice = songData::FirstVoice;

  // The left-button press that began a drag (-1: none), and the whole beats a
  // body drag has moved so far.
  std::int32_t DragOriginX = -1;
  std::int32_t DragBeats = 0;

  // The one scroll value: the song time at the view's left edge in tenths of a
  // second; fractions keep a zoomed view in place. The scroll bar shows it.
  double ScrollPosition = -5;
  std::int32_t ScrollMin = -5;
  std::int32_t ScrollMax = 300;
};

// Moves the scroll position, kept within the scroll range.
void SetScrollPosition(TViewState& view, double position);

} // namespace editor
