// The note view and the line display: scale, timeline, scrolling and redraws.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "editor/follow_cursor.h"
#include "editor/line_display.h"
#include "editor/note_view.h"
#include "editor/timeline.h"
#include "editor/view_coordinates.h"

#include <QAction>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdint>

namespace app {

void TMainForm::UpdateBeatScale() {
  editor::ApplyBeatScale(View, context_.Song.BPM);
}

void TMainForm::UpdateTimeline() {
  editor::ApplyTimeline(View,
                        editor::TimelineOf(context_.Song, songData::MusicDuration(context_.Music)));
  const QSignalBlocker quiet(Scroll);
  Scroll->setRange(View.ScrollMin, View.ScrollMax);
  Scroll->setValue(editor::Nearest(View.ScrollPosition));
}

editor::TViewLayout TMainForm::Layout() const {
  return editor::LayoutOf(View, MainImg->width(), MainImg->height());
}

void TMainForm::ScrollTo(double position) {
  editor::SetScrollPosition(View, position);
  {
    // The bar shows the view's scroll value; only the user's moves of it come back.
    const QSignalBlocker quiet(Scroll);
    Scroll->setValue(editor::Nearest(View.ScrollPosition));
  }
  Commit(chView, false);
}

void TMainForm::ScrollBy(std::int64_t steps) {
  ScrollTo(View.ScrollPosition + double(steps));
}

void TMainForm::ScrollChange() {
  // The bar moved by the user: its whole tenths become the view's position.
  if (Scroll->value() == editor::Nearest(View.ScrollPosition)) return;
  ScrollTo(Scroll->value());
}

void TMainForm::DrawView() {
  const QSize size = MainImg->size();
  if (MainImg->Image.size() != size) MainImg->Image = QImage(size, QImage::Format_RGB32);
  if (size.isEmpty()) return;
  const double length =
      editor::TimelineOf(context_.Song, songData::MusicDuration(context_.Music)).Length;
  const pitch::TPitchContour* sung = ShowSungPitch->isChecked() ? contour_.get() : nullptr;
  editor::DrawView(MainImg->Image, context_.Song, View, context_.Analyser.SpectrumStrips, length,
                   sung);
  Scroll->setPageStep(std::max(1, Layout().ScrollPage));
  MainImg->update();
}

void TMainForm::DrawLineDisplay() {
  if (display->Image.size() != display->size())
    display->Image = QImage(display->size(), QImage::Format_RGB32);
  if (display->Image.isNull()) return;
  editor::DrawLineDisplay(display->Image, context_.Song, View.CursorTime, View.Voice);
  display->update();
}

// A widget of a new size gets a new image, drawn at once: a new image holds
// whatever memory it was given until something paints it.
void TMainForm::LayoutImages() {
  DrawView();
  DrawLineDisplay();
  if (Keyboard->Image.size() != Keyboard->size()) {
    Keyboard->Image = QImage(Keyboard->size(), QImage::Format_RGB32);
    KeyboardPaint();
  }
}

void TMainForm::FollowCursor(bool jumpIfLeft, bool centre) {
  if (player::PlayerState(context_.Player) == player::psPlaying) View.CursorTime = HeardSongTime();
  editor::FollowCursor(View, MainImg->width(), jumpIfLeft, centre);
  ScrollTo(View.ScrollPosition);
}

} // namespace app
