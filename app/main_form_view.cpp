// The note view and the line display: scale, timeline, layout and redraws.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "editor/follow_cursor.h"
#include "editor/line_display.h"
#include "editor/note_view.h"
#include "editor/view_coordinates.h"
#include "song/time_scale.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdint>

namespace app {

void TMainForm::UpdateBeatScale() {
  editor::ApplyBeatScale(View, context_.Song.BPM);
}

void TMainForm::UpdateTimeline() {
  editor::ApplyTimeline(
      View, songData::TimelineOf(context_.Song, songData::MusicDuration(context_.Music)));
  const QSignalBlocker quiet(Scroll);
  Scroll->setRange(View.ScrollMin, View.ScrollMax);
  editor::SetScrollPosition(View, View.ScrollPosition);
  Scroll->setValue(View.ScrollPosition);
}

void TMainForm::ScrollBy(std::int64_t steps) {
  // In 64 bits: a very long timeline reaches the ends of int.
  const std::int64_t target = std::int64_t{Scroll->value()} + steps;
  Scroll->setValue(
      static_cast<int>(std::clamp<std::int64_t>(target, Scroll->minimum(), Scroll->maximum())));
}

void TMainForm::DrawView() {
  const QSize size = MainImg->size();
  if (MainImg->Image.size() != size) MainImg->Image = QImage(size, QImage::Format_RGB32);
  if (size.isEmpty()) return;
  View.ScrollPosition = Scroll->value();
  const double length =
      songData::TimelineOf(context_.Song, songData::MusicDuration(context_.Music)).Length;
  const pitch::TPitchContour* sung = ShowSungPitch->isChecked() ? contour_.get() : nullptr;
  editor::DrawView(MainImg->Image, context_.Song, View, context_.Analyser.SpectrumStrips, length,
                   sung);
  Scroll->setPageStep(std::max(1, View.ScrollPage));
  MainImg->update();
}

void TMainForm::DrawLineDisplay() {
  if (display->Image.size() != display->size())
    display->Image = QImage(display->size(), QImage::Format_RGB32);
  if (display->Image.isNull()) return;
  editor::DrawLineDisplay(display->Image, context_.Song, View.CursorTime, View.Voice);
  display->update();
}

void TMainForm::LayoutImages() {
  MainImg->Image = QImage(MainImg->size(), QImage::Format_RGB32);
  display->Image = QImage(display->size(), QImage::Format_RGB32);
  DrawLineDisplay();
  if (Keyboard->Image.width() != Keyboard->width()) {
    Keyboard->Image = QImage(Keyboard->size(), QImage::Format_RGB32);
    KeyboardPaint();
  }
}

void TMainForm::ScrollChange() {
  View.ScrollPosition = Scroll->value();
  DrawView();
}

void TMainForm::FollowCursor(bool jumpIfLeft, bool centre) {
  if (player::PlayerState(context_.Player) == player::psPlaying) View.CursorTime = HeardSongTime();
  View.ScrollPosition = Scroll->value();
  editor::FollowCursor(View, MainImg->width(), jumpIfLeft, centre);
  {
    const QSignalBlocker quiet(Scroll);
    Scroll->setValue(View.ScrollPosition);
  }
  DrawView();
}

} // namespace app
