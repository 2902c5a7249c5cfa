#include "monkey_events.h"

#include "app/image_widget.h"
#include "view_input.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>
#include <iterator>

namespace monkey {
namespace {

struct TKey {
  int Key;
  Qt::KeyboardModifiers Modifiers;
  const char* Text;
};

constexpr Qt::KeyboardModifiers None{};
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;

// Keys aimed at the window: the note keys, playback, the fields' keys and every
// shortcut but Alt+X, which would close the window.
const TKey WindowKeys[] = {
    {Qt::Key_G, None, "g"},        {Qt::Key_F, None, "f"},       {Qt::Key_R, None, "r"},
    {Qt::Key_G, Shift, "G"},       {Qt::Key_Delete, None, ""},   {Qt::Key_Space, None, " "},
    {Qt::Key_Backspace, None, ""}, {Qt::Key_Return, None, "\r"}, {Qt::Key_Enter, None, "\r"},
    {Qt::Key_Escape, None, ""},    {Qt::Key_Tab, None, "\t"},    {Qt::Key_Home, None, ""},
    {Qt::Key_End, None, ""},       {Qt::Key_0, None, "0"},       {Qt::Key_1, None, "1"},
    {Qt::Key_5, None, "5"},        {Qt::Key_9, None, "9"},       {Qt::Key_A, Ctrl, ""},
    {Qt::Key_D, Ctrl, ""},         {Qt::Key_Z, Ctrl, ""},        {Qt::Key_Y, Ctrl, ""},
    {Qt::Key_X, Ctrl, ""},         {Qt::Key_C, Ctrl, ""},        {Qt::Key_V, Ctrl, ""},
    {Qt::Key_Z, Ctrl | Shift, ""}, {Qt::Key_Insert, Shift, ""},  {Qt::Key_Insert, Ctrl, ""},
    {Qt::Key_Delete, Shift, ""},   {Qt::Key_P, Ctrl, ""},        {Qt::Key_S, Ctrl, ""},
    {Qt::Key_N, Ctrl, ""},         {Qt::Key_O, Ctrl, ""},        {Qt::Key_F1, None, ""},
};

constexpr int Arrows[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
const Qt::KeyboardModifiers ArrowModifiers[] = {None, Shift, Ctrl, Qt::AltModifier, Ctrl | Shift};

// Typing into the memo: letters, characters of two, three and four UTF-8 bytes,
// line breaks, editing keys and the memo's own clipboard and undo keys.
const TKey MemoKeys[] = {
    {Qt::Key_A, None, "a"},
    {Qt::Key_L, None, "l"},
    {Qt::Key_O, None, "o"},
    {Qt::Key_Space, None, " "},
    {Qt::Key_A, None, "\xC3\xA4"},
    {Qt::Key_E, None, "\xC3\xA9"},
    {Qt::Key_S, None, "\xC3\x9F"},
    {Qt::Key_E, None, "\xE2\x82\xAC"},
    {Qt::Key_unknown, None, "\xE6\x97\xA5"},
    {Qt::Key_unknown, None, "\xF0\x9F\x8E\xA4"},
    {Qt::Key_unknown, None,
     "\xC3\x9C\x62\x65\x72\x6C\xC3\xA4\x6E\x67\x65 of a syllable that "
     "runs past the forty-seven bytes a note holds \xE2\x82\xAC"},
    {Qt::Key_Return, None, "\r"},
    {Qt::Key_Return, None, "\r"},
    {Qt::Key_Backspace, None, ""},
    {Qt::Key_Backspace, None, ""},
    {Qt::Key_Delete, None, ""},
    {Qt::Key_Left, None, ""},
    {Qt::Key_Right, None, ""},
    {Qt::Key_Up, None, ""},
    {Qt::Key_Down, None, ""},
    {Qt::Key_Home, None, ""},
    {Qt::Key_End, Shift, ""},
    {Qt::Key_A, Ctrl, ""},
    {Qt::Key_Z, Ctrl, ""},
    {Qt::Key_Y, Ctrl, ""},
    {Qt::Key_X, Ctrl, ""},
    {Qt::Key_C, Ctrl, ""},
    {Qt::Key_V, Ctrl, ""},
    {Qt::Key_Delete, Shift, ""},
    {Qt::Key_Insert, Shift, ""},
    {Qt::Key_Return, Shift, "\r"},
};

// How far beyond the note view a dragging pointer can go.
constexpr int ScreenMargin = 300;

// Pasting a song that is all selected doubles it; past this many records the
// monkey pastes no more, so that a run keeps to a few seconds a thousand events.
constexpr std::size_t PasteLimit = 1000;

bool IsPasteKey(int key, Qt::KeyboardModifiers modifiers) {
  return (key == Qt::Key_V && modifiers == Ctrl) || (key == Qt::Key_Insert && modifiers == Shift);
}

// What a user types into the BPM and gap fields, sensible or not.
const char* const FieldTexts[] = {"120",  "120,5",  "0",      "-3",  "abc", "",      "1e3",
                                  "300",  "60",     "0,5",    "999", "1,5", "-2,25", "3",
                                  "2000", "1e-300", "1e+300", "nan", "inf", "7,25e1"};

QAction* EnabledShortcut(app::TMainForm& form, const QKeySequence& sequence) {
  for (QAction* action : form.findChildren<QAction*>())
    if (action != form.FileExit1 && action->isEnabled() && action->shortcuts().contains(sequence))
      return action;
  return nullptr;
}

std::string KeyName(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  if (key == Qt::Key_unknown) return "text \"" + text.toStdString() + "\"";
  return QKeySequence(QKeyCombination(modifiers, Qt::Key(key))).toString().toStdString();
}

std::string PointText(QPoint at) {
  return "(" + std::to_string(at.x()) + "," + std::to_string(at.y()) + ")";
}

std::string ModifierText(Qt::KeyboardModifiers modifiers) {
  std::string text;
  if (modifiers & Qt::ShiftModifier) text += "+Shift";
  if (modifiers & Qt::ControlModifier) text += "+Ctrl";
  if (modifiers & Qt::AltModifier) text += "+Alt";
  return text;
}

const char* ButtonName(Qt::MouseButton button) {
  return button == Qt::LeftButton ? "left" : "right";
}

} // namespace

void PressKey(app::TMainForm& form, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QWidget* focus = QApplication::focusWidget();
  QWidget* target = focus != nullptr ? focus : &form;
  if (key != Qt::Key_unknown) {
    if (QAction* action = EnabledShortcut(form, QKeyCombination(modifiers, Qt::Key(key)))) {
      QKeyEvent claim(QEvent::ShortcutOverride, key, modifiers, text);
      claim.ignore();
      QCoreApplication::sendEvent(target, &claim);
      if (!claim.isAccepted()) {
        action->trigger();
        return;
      }
    }
  }
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(target, &press);
  // The press may have moved the focus; the release goes where it is now.
  focus = QApplication::focusWidget();
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(focus != nullptr ? focus : &form, &release);
}

TMonkey::TMonkey(app::TMainForm& form, unsigned seed) : form_(form), random_(seed) {}

int TMonkey::Below(int n) {
  return std::uniform_int_distribution<int>(0, n - 1)(random_);
}

bool TMonkey::Chance(int percent) {
  return Below(100) < percent;
}

bool TMonkey::MayPaste() const {
  return form_.Context().Song.Notes.size() < PasteLimit;
}

// A paste key does nothing on a large song, wherever the focus is.
void TMonkey::Press(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  if (!IsPasteKey(key, modifiers) || MayPaste()) PressKey(form_, key, modifiers, text);
}

Qt::KeyboardModifiers TMonkey::AnyModifiers() {
  switch (Below(8)) {
  case 0:
    return Qt::ShiftModifier;
  case 1:
    return Qt::ControlModifier;
  case 2:
    return Qt::AltModifier;
  case 3:
    return Qt::ShiftModifier | Qt::AltModifier;
  default:
    return {};
  }
}

// Mostly at a note's edges or body, where the gestures differ; else anywhere.
// A pointer stays on the screen, which reaches a little beyond the view.
QPoint TMonkey::ViewPoint() {
  const QSize size = form_.MainImg->size();
  const auto& notes = form_.Context().Song.Notes;
  if (!notes.empty() && Chance(60)) {
    const songData::TNote& note = notes[std::size_t(Below(int(notes.size())))];
    const double beats[] = {double(note.Start), note.Start + note.Length / 2.0,
                            double(note.Start) + note.Length};
    // In 64 bits: an absurd pitch or gap puts a note near the ends of int.
    const std::int64_t x = std::int64_t{viewinput::BeatX(form_, beats[Below(3)])} + Below(7) - 3;
    const std::int64_t y = std::int64_t{viewinput::PitchY(form_, note.Pitch)} + Below(9) - 4;
    if (-ScreenMargin <= x && x < size.width() + ScreenMargin && -ScreenMargin <= y &&
        y < size.height() + ScreenMargin)
      return {int(x), int(y)};
  }
  return {Below(size.width() + 40) - 20, Below(size.height() + 20) - 10};
}

QPoint TMonkey::StripPoint() {
  const QSize size = form_.Keyboard->size();
  return {Below(size.width() + 10) - 5, Below(size.height() + 10) - 5};
}

std::string TMonkey::ViewMouse() {
  using viewinput::Mouse;
  QWidget* view = form_.MainImg;
  if (Chance(2)) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view, &leave);
    return "view leave";
  }
  const QPoint at = ViewPoint();
  const Qt::KeyboardModifiers modifiers = AnyModifiers();
  const int roll = Below(100);
  if (viewHeld_ != Qt::NoButton && roll < 35) {
    const Qt::MouseButton button = viewHeld_ & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton;
    viewHeld_ &= ~button;
    Mouse(view, QEvent::MouseButtonRelease, at, button, viewHeld_, modifiers);
    return std::string("view release ") + ButtonName(button) + ModifierText(modifiers) + " at " +
           PointText(at);
  }
  if (roll < (viewHeld_ != Qt::NoButton ? 45 : 40)) {
    const Qt::MouseButton button = Chance(70) ? Qt::LeftButton : Qt::RightButton;
    if (!(viewHeld_ & button)) {
      viewHeld_ |= button;
      Mouse(view, QEvent::MouseButtonPress, at, button, viewHeld_, modifiers);
      return std::string("view press ") + ButtonName(button) + ModifierText(modifiers) + " at " +
             PointText(at);
    }
  }
  Mouse(view, QEvent::MouseMove, at, Qt::NoButton, viewHeld_, modifiers);
  return "view move held " + std::to_string(int(viewHeld_)) + ModifierText(modifiers) + " to " +
         PointText(at);
}

std::string TMonkey::StripMouse() {
  using viewinput::Mouse;
  QWidget* strip = form_.Keyboard;
  const QPoint at = StripPoint();
  switch (Below(6)) {
  case 0:
    if (stripHeld_ == Qt::NoButton) {
      const Qt::MouseButton button = Chance(80) ? Qt::LeftButton : Qt::RightButton;
      stripHeld_ = button;
      Mouse(strip, QEvent::MouseButtonPress, at, button, button);
      return std::string("strip press ") + ButtonName(button) + " at " + PointText(at);
    }
    break;
  case 1:
    if (stripHeld_ != Qt::NoButton) {
      const auto button = Qt::MouseButton(int(stripHeld_));
      stripHeld_ = Qt::NoButton;
      Mouse(strip, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
      return std::string("strip release ") + ButtonName(button) + " at " + PointText(at);
    }
    break;
  case 2: {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(strip, &leave);
    return "strip leave";
  }
  default:
    break;
  }
  Mouse(strip, QEvent::MouseMove, at, Qt::NoButton, stripHeld_);
  return "strip move held " + std::to_string(int(stripHeld_)) + " to " + PointText(at);
}

std::string TMonkey::AnyKey() {
  if (Chance(25)) {
    const int key = Arrows[Below(4)];
    const Qt::KeyboardModifiers modifiers = ArrowModifiers[Below(int(std::size(ArrowModifiers)))];
    Press(key, modifiers);
    return "key " + KeyName(key, modifiers, {});
  }
  const TKey& k = WindowKeys[Below(int(std::size(WindowKeys)))];
  const QString text = QString::fromUtf8(k.Text);
  Press(k.Key, k.Modifiers, text);
  return "key " + KeyName(k.Key, k.Modifiers, text);
}

std::string TMonkey::Command() {
  app::TMainForm& f = form_;
  // Every command but Exit; the test answers the dialogs they open.
  QAction* const commands[] = {f.SongNew,      f.SongOpen,        f.SongSave,       f.SongSaveAs,
                               f.UndoAction,   f.RedoAction,      f.SelectAll1,     f.Deselect1,
                               f.EditCut1,     f.EditCopy1,       f.EditPaste1,     f.EditCopy2,
                               f.EditPaste2,   f.OctaveUp,        f.OctaveDown,     f.ChooseMusic,
                               f.ChooseVocals, f.SnapToSungPitch, f.ShowSungPitch,  f.DetectTempo,
                               f.Slower,       f.Faster,          f.SettingsAction, f.EditTags,
                               f.Help,         f.HelpAbout1,      f.plPlay,         f.plStop,
                               f.UndoAction,   f.RedoAction,      f.EditPaste1,     f.SelectAll1};
  QAction* action = commands[Below(int(std::size(commands)))];
  if ((action == f.EditPaste1 || action == f.EditPaste2) && !MayPaste())
    return "no paste command: the song is large";
  action->trigger();
  return "command " + action->text().toStdString() + (action->isEnabled() ? "" : " (disabled)");
}

std::string TMonkey::TypeIntoMemo() {
  QPlainTextEdit* memo = form_.Lyrics;
  memo->setFocus(Qt::MouseFocusReason);
  std::string what = "memo";
  if (Chance(50)) {
    // A click places the cursor, and the window moves its cursor to that syllable.
    const QPoint at(Below(memo->viewport()->width()), Below(memo->viewport()->height()));
    viewinput::Mouse(memo->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton,
                     Qt::LeftButton);
    viewinput::Mouse(memo->viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton,
                     Qt::NoButton);
    what += " click " + PointText(at);
  }
  for (int n = 1 + Below(6); n > 0; --n) {
    const TKey& k = MemoKeys[Below(int(std::size(MemoKeys)))];
    const QString text = QString::fromUtf8(k.Text);
    Press(k.Key, k.Modifiers, text);
    what += ", " + KeyName(k.Key, k.Modifiers, text);
  }
  return what;
}

std::string TMonkey::TypeIntoField() {
  QLineEdit* const fields[] = {form_.editBPM, form_.editGAP, form_.EditVGap};
  QLineEdit* field = fields[Below(3)];
  field->setFocus(Qt::MouseFocusReason);
  Press(Qt::Key_A, Qt::ControlModifier);
  const QString text = QString::fromUtf8(FieldTexts[Below(int(std::size(FieldTexts)))]);
  for (QChar c : text)
    Press(Qt::Key_unknown, {}, QString(c));
  std::string what =
      "field " + field->toolTip().left(12).toStdString() + " \"" + text.toStdString() + "\"";
  switch (Below(5)) {
  case 0:
  case 1:
    Press(Qt::Key_Return, {}, "\r");
    return what + ", Return";
  case 2:
  case 3:
    form_.Scroll->setFocus(Qt::TabFocusReason);
    return what + ", focus leaves";
  default:
    return what;
  }
}

std::string TMonkey::Controls() {
  app::TMainForm& f = form_;
  switch (Below(7)) {
  case 0:
  case 1: {
    f.VoiceBox->setFocus(Qt::MouseFocusReason);
    const int key = Chance(50) ? Qt::Key_Down : Qt::Key_Up;
    Press(key);
    return "voice box " + KeyName(key, {}, {});
  }
  case 2: {
    f.TransposeBox->setFocus(Qt::MouseFocusReason);
    const int key = Chance(50) ? Qt::Key_Down : Qt::Key_Up;
    Press(key);
    return "transpose box " + KeyName(key, {}, {});
  }
  case 3: {
    const int index = Below(f.SpeedBox->count());
    f.SpeedBox->setCurrentIndex(index);
    return "speed box " + std::to_string(index);
  }
  case 4: {
    const int value = Below(11);
    f.MixBar->setValue(value);
    return "mix bar " + std::to_string(value);
  }
  case 5: {
    const int value = f.Scroll->minimum() + Below(f.Scroll->maximum() - f.Scroll->minimum() + 1);
    f.Scroll->setValue(value);
    return "scroll " + std::to_string(value);
  }
  default: {
    QWidget* const controls[] = {f.Scroll, f.Lyrics, f.editBPM, f.VoiceBox, f.MainImg};
    if (Chance(30)) {
      if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
      return "focus cleared";
    }
    QWidget* control = controls[Below(int(std::size(controls)))];
    control->setFocus(Qt::MouseFocusReason);
    return "focus " + std::string(control->metaObject()->className());
  }
  }
}

std::string TMonkey::Wheel() {
  const bool onView = Chance(75);
  QWidget* widget = onView ? static_cast<QWidget*>(form_.MainImg) : form_.Keyboard;
  const QPoint at = onView ? ViewPoint() : StripPoint();
  const int delta = (Below(4) + 1) * 60 * (Chance(50) ? 1 : -1);
  QWheelEvent event(at, widget->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(widget, &event);
  return std::string("wheel ") + (onView ? "view " : "strip ") + std::to_string(delta) + " at " +
         PointText(at);
}

std::string TMonkey::Ticks() {
  const int ticks = 1 + Below(5);
  for (int i = 0; i < ticks; ++i)
    form_.TimerTimer();
  if (Chance(10)) {
    QCoreApplication::processEvents();
    return std::to_string(ticks) + " ticks and the event loop";
  }
  return std::to_string(ticks) + " ticks";
}

std::string TMonkey::Next() {
  // A click elsewhere closes a box's open list before anything else happens.
  if (QWidget* popup = QApplication::activePopupWidget()) {
    popup->close();
    return "list closed";
  }
  const int roll = Below(100);
  if (roll < 34) return ViewMouse();
  if (roll < 39) return StripMouse();
  if (roll < 55) return AnyKey();
  if (roll < 64) return Command();
  if (roll < 71) return TypeIntoMemo();
  if (roll < 75) return TypeIntoField();
  if (roll < 83) return Controls();
  if (roll < 85) return Wheel();
  if (roll < 96) return Ticks();
  // Editing waits while the song plays, so playback is kept short.
  if (form_.plStop->isEnabled()) {
    form_.plStop->trigger();
    return "stop";
  }
  if (roll < 99) return Ticks();
  form_.plPlay->trigger();
  return "play";
}

} // namespace monkey
