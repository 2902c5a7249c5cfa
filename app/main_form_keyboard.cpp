// The piano keyboard strip under the note view.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "editor/keyboard_strip.h"
#include "editor/view_coordinates.h"

#include <QLabel>
#include <QMouseEvent>

namespace app {

void TMainForm::KeyboardPaint() {
  if (Keyboard->Image.isNull()) return;
  // The key images never change; drawn at the first paint.
  static const editor::TKeyImages keys = editor::MakeKeyImages();
  editor::KeyboardPaint(Keyboard->Image, keys, SoundingTone(), View.HoverTone);
  Keyboard->update();
}

// While playing, the key of the note heard now; otherwise the tone a key plays.
std::int32_t TMainForm::SoundingTone() const {
  if (!IsPlaying()) return context_.Player.CurrentTone;
  return editor::ToneSoundingAt(context_.Song, View.Voice, HeardSongTime());
}

// The strip is repainted by the timer, not here.
void TMainForm::KeyboardMouseMove(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const std::int32_t tone = editor::KeyToneAt(Keyboard->width(), at.x(), at.y());
  View.HoverTone = tone;
  if (tone == editor::NoHoverTone) return;
  StatusPanels[2]->setText(QString::fromLatin1(editor::ToneName(tone)));
  if (event->buttons() & Qt::LeftButton) player::StartTone(context_.Player, tone, true);
}

void TMainForm::KeyboardMouseDown(QMouseEvent* event) {
  // The key under the press, even when no move over the strip came first.
  const QPoint at = event->position().toPoint();
  View.HoverTone = editor::KeyToneAt(Keyboard->width(), at.x(), at.y());
  if (event->button() == Qt::LeftButton && View.HoverTone > editor::NoHoverTone)
    player::StartTone(context_.Player, View.HoverTone, true);
}

// Also stops a tone of playback that a key replaced.
void TMainForm::KeyboardMouseUp(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && context_.Player.CurrentTone > player::NoTone)
    player::StopTone(context_.Player);
}

// A sounding tone goes on until the button is released.
void TMainForm::KeyboardMouseLeave() {
  View.HoverTone = editor::NoHoverTone;
}

} // namespace app
