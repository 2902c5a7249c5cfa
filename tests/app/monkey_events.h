#pragma once
// Random input for the real main window, as a restless user would give it: the
// mouse on the note view and the keyboard strip, keys, commands, typing into the
// memo and the fields, playback and the controls. Every choice comes from one
// seeded generator, so a seed repeats a run (up to playback timing).
#include "app/main_form.h"

#include <QString>
#include <random>
#include <string>

namespace monkey {

// A key as the window system delivers it: the shortcut of an enabled action
// fires unless the focused control claims the key first; otherwise the key goes
// to the focused control, or to the window when nothing has the focus.
void PressKey(app::TMainForm& form, int key, Qt::KeyboardModifiers modifiers = {},
              const QString& text = {});

class TMonkey {
public:
  TMonkey(app::TMainForm& form, unsigned seed);
  // Gives one random event and returns what it was.
  std::string Next();

private:
  int Below(int n);
  bool Chance(int percent);
  bool MayPaste() const;
  void Press(int key, Qt::KeyboardModifiers modifiers = {}, const QString& text = {});
  Qt::KeyboardModifiers AnyModifiers();
  QPoint ViewPoint();
  QPoint StripPoint();
  std::string ViewMouse();
  std::string StripMouse();
  std::string AnyKey();
  std::string Command();
  std::string TypeIntoMemo();
  std::string TypeIntoField();
  std::string Controls();
  std::string Wheel();
  std::string Ticks();

  app::TMainForm& form_;
  std::mt19937 random_;
  Qt::MouseButtons viewHeld_ = Qt::NoButton;
  Qt::MouseButtons stripHeld_ = Qt::NoButton;
};

} // namespace monkey
