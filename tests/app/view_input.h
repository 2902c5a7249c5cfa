#pragma once
// Mouse and key events sent to the real widgets, as a person would make them.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "editor/view_coordinates.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>

namespace viewinput {

inline void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = {}) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, modifiers);
  QCoreApplication::sendEvent(widget, &event);
}

inline void Press(app::TMainForm& form, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  Mouse(form.MainImg, QEvent::MouseButtonPress, at, button, button);
}

inline void Move(app::TMainForm& form, QPoint at, Qt::MouseButtons held = Qt::NoButton,
                 Qt::KeyboardModifiers modifiers = {}) {
  Mouse(form.MainImg, QEvent::MouseMove, at, Qt::NoButton, held, modifiers);
}

inline void Release(app::TMainForm& form, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  Mouse(form.MainImg, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

// A key pressed where the focus is, or at the window when nothing has it.
inline void Key(app::TMainForm& form, int key, Qt::KeyboardModifiers modifiers = {},
                const QString& text = {}) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(target, &release);
}

inline void Wheel(app::TMainForm& form, QPoint at, int delta) {
  QWheelEvent event(at, form.MainImg->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(form.MainImg, &event);
}

// The middle of the row of a pitch, and the x of a beat, in the view's layout.
inline int PitchY(const app::TMainForm& form, std::int32_t pitch) {
  const std::int32_t transpose = form.Context().Song.Transpose;
  const editor::TViewLayout layout = form.Layout();
  const std::int64_t middle =
      std::int64_t{editor::NoteRowTop(layout, pitch, transpose)} + layout.RowHeight / 2;
  return int(std::clamp<std::int64_t>(middle, INT32_MIN, INT32_MAX));
}

inline int BeatX(const app::TMainForm& form, double beat) {
  return editor::BeatToX(form.Layout(), beat);
}

inline QPoint At(const app::TMainForm& form, double beat, std::int32_t pitch) {
  return {BeatX(form, beat), PitchY(form, pitch)};
}

} // namespace viewinput
