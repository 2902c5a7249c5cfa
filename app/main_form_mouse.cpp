// Mouse editing on the note view: hover, create, drag, stretch, range, cursor;
// and the keys the window sees before the focused control.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "editor/note_editing.h"
#include "editor/view_coordinates.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace app {
namespace {

constexpr Qt::CursorShape Pointers[] = {Qt::ArrowCursor, Qt::SizeHorCursor, Qt::SizeHorCursor,
                                        Qt::SizeAllCursor, Qt::SplitHCursor};

} // namespace

void TMainForm::TakeFocusFromFields() {
  // The window takes the keys: Space, Delete, G, F and R then act on the notes.
  if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
}

bool TMainForm::TextFieldHasFocus() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus != nullptr && (focus->inherits("QLineEdit") || focus->inherits("QPlainTextEdit") ||
                              focus->inherits("QTextEdit") || focus->inherits("QAbstractSpinBox"));
}

void TMainForm::FormKeyDown(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Space) {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == Scroll) {
      if (plPlay->isEnabled())
        plPlay->trigger();
      else
        plStop->trigger();
    }
    return;
  }
  // Keys typed into a field are text there, never note commands.
  if (!MayEditNotes() || TextFieldHasFocus()) return;
  songData::TSong& song = context_.Song;
  if (key == Qt::Key_Delete && editor::DeleteNotes(song, View)) Commit(chLyrics, true);
  if (key == Qt::Key_G && editor::ToggleGolden(song, View)) Commit(chNotes, true);
  if (key == Qt::Key_F && editor::ToggleFreestyle(song, View)) Commit(chNotes, true);
  if (key == Qt::Key_R && editor::ToggleRap(song, View)) Commit(chNotes, true);
}

void TMainForm::MainImgMouseDown(QMouseEvent* event) {
  if (!MayEditNotes()) return;
  TakeFocusFromFields();
  const QPoint at = event->position().toPoint();
  const editor::TViewLayout layout = Layout();
  const double t = editor::XToSeconds(layout, at.x());
  if (at.y() < layout.GridTop || at.y() > layout.GridBottom) {
    View.CursorTime = t;
    Commit(chView, false);
    return;
  }
  songData::TSong& song = context_.Song;
  if (event->button() == Qt::LeftButton) {
    if (View.HoverMode != editor::hmNothing) {
      View.DragOriginX = at.x();
      View.DragBeats = 0;
      return;
    }
    View.HoverIndex = editor::AddNoteAt(song, View, layout, at.x(), at.y());
    View.HoverMode = editor::hmRightEdge; // moving stretches the new note
    Commit(chNotes, false);
  } else if (event->button() == Qt::RightButton) {
    View.RangeStart = View.RangeEnd = static_cast<float>(t);
    Commit(chView, false);
  }
}

void TMainForm::MainImgMouseMove(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const int x = at.x();
  const int y = at.y();
  const editor::TViewLayout layout = Layout();
  StatusPanels[1]->setText(QString::fromStdString(editor::TimeText(editor::XToSeconds(layout, x))));
  ShowHoverTone(y);
  const Qt::MouseButtons buttons = event->buttons();
  if (buttons & Qt::RightButton)
    DragRange(x, event->modifiers());
  else if ((buttons & Qt::LeftButton) && View.HoverMode != editor::hmNothing &&
           layout.GridTop < y && y < layout.GridBottom)
    DragNote(x, y);
  else if (!(buttons & (Qt::LeftButton | Qt::RightButton)))
    DetectHover(x, y);
}

void TMainForm::ShowHoverTone(int y) {
  const editor::TViewLayout layout = Layout();
  if (editor::OnGrid(layout, y)) {
    const std::int32_t tone = editor::RowTone(layout, editor::YToRow(layout, y));
    if (tone == View.HoverTone) return;
    View.HoverTone = tone;
    StatusPanels[2]->setText(QString::fromLatin1(editor::ToneName(tone)));
    Commit(chView, false);
  } else if (View.HoverTone != editor::NoHoverTone) {
    View.HoverTone = editor::NoHoverTone;
    StatusPanels[2]->clear();
    Commit(chView, false);
  }
}

void TMainForm::DragRange(int x, Qt::KeyboardModifiers modifiers) {
  const int width = MainImg->width();
  if (x > 0.94 * width) ScrollBy(1);
  if (x < 0.08 * width) ScrollBy(-1);
  View.RangeEnd = static_cast<float>(editor::XToSeconds(Layout(), x));
  if (View.RangeStart == editor::NoRange) View.RangeStart = View.RangeEnd;
  editor::TRangeMode mode = editor::rmReplace;
  if (modifiers & Qt::ShiftModifier) mode = editor::rmAdd;
  if (modifiers & Qt::AltModifier) mode = editor::rmRemove;
  editor::SelectRange(context_.Song, View, mode);
  Commit(chView, false);
}

void TMainForm::DragNote(int x, int y) {
  songData::TSong& song = context_.Song;
  songData::TNote* note = editor::HoveredNote(song, View);
  if (note == nullptr) return;
  const auto index = static_cast<std::size_t>(View.HoverIndex);
  const editor::TViewLayout layout = Layout();
  bool changed = false;
  if (View.HoverMode == editor::hmBody) {
    if (editor::SetDraggedPitch(song, index, editor::YToPitch(layout, y, song.Transpose))) {
      player::StartTone(context_.Player, View.HoverTone, true);
      changed = true;
    }
    const std::int32_t beats =
        editor::Nearest(double(x - View.DragOriginX) / layout.Horizontal.PixelsPerBeat());
    if (beats != View.DragBeats) {
      editor::MoveDraggedNotes(song, index, beats - View.DragBeats);
      View.DragBeats = beats;
      changed = true;
    }
  } else {
    const std::int32_t beat = editor::XToBeat(layout, x);
    if (View.HoverMode == editor::hmLineBreak && beat != note->Start) {
      note->Start = beat;
      changed = true;
    } else if (View.HoverMode == editor::hmLeftEdge && beat != note->Start) {
      note->Length = editor::Nearest(double(note->Length) - (double(beat) - note->Start));
      note->Start = beat;
      changed = true;
    } else if (View.HoverMode == editor::hmRightEdge &&
               double(beat) != double(note->Start) + note->Length) {
      note->Length = editor::Nearest(double(beat) - note->Start);
      changed = true;
    }
    if (changed && View.HoverMode != editor::hmLineBreak) {
      editor::NormaliseHovered(song, View);
      songData::ResolveOverlaps(song, static_cast<std::size_t>(View.HoverIndex), &View.HoverIndex);
    }
  }
  if (changed) Commit(chNotes, false);
}

void TMainForm::DetectHover(int x, int y) {
  const editor::THit hit = editor::HitTest(context_.Song, View, Layout(), x, y);
  if (hit.Mode == View.HoverMode && (hit.Mode == editor::hmNothing || hit.Index == View.HoverIndex))
    return;
  TakeFocusFromFields();
  View.HoverMode = hit.Mode;
  View.HoverIndex = hit.Index;
  MainImg->setCursor(Pointers[hit.Mode]);
  ShowHoveredNote();
  Commit(chView, false);
}

void TMainForm::MainImgMouseUp(QMouseEvent* event) {
  if (!MayEditNotes()) return;
  View.DragOriginX = -1;
  player::StopTone(context_.Player);
  if (event->button() == Qt::LeftButton && View.HoverMode != editor::hmNothing) {
    if (songData::TNote* note = editor::HoveredNote(context_.Song, View)) {
      editor::FinishGesture(*note);
      if (editor::DropDoubledLineBreak(context_.Song, std::size_t(View.HoverIndex),
                                       &View.HoverIndex))
        View.HoverMode = editor::hmNothing;
    }
    Commit(chLyrics, true);
  } else if (event->button() == Qt::RightButton) {
    View.RangeStart = View.RangeEnd = editor::NoRange;
    Commit(chView, false);
  }
}

void TMainForm::MainImgMouseLeave() {
  View.HoverTone = editor::NoHoverTone;
  StatusPanels[2]->clear();
}

void TMainForm::FormMouseWheel(QWheelEvent* event) {
  // With Shift some systems turn the wheel's turn sideways.
  const QPoint turn = event->angleDelta();
  const int delta = turn.y() != 0 ? turn.y() : turn.x();
  if (event->modifiers() & Qt::ControlModifier) {
    // About the pointer over the note view, wherever the wheel was turned.
    const QPoint at = MainImg->mapFromGlobal(event->globalPosition().toPoint());
    if (event->modifiers() & Qt::ShiftModifier)
      RowZoomAbout(editor::WheelZoomRatio(delta), at.y());
    else
      ZoomAbout(editor::WheelZoomRatio(delta), at.x());
    return;
  }
  if (View.HoverTone <= editor::NoHoverTone) return;
  ScrollBy(-editor::Nearest(event->angleDelta().y() / 30.0));
}

} // namespace app
