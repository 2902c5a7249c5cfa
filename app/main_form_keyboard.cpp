// The piano keyboard strip under the note view.
#include "app/image_widget.h"
#include "app/main_form.h"

namespace app {

void TMainForm::KeyboardPaint() {
  Keyboard->Image.fill(QColor(0xF0, 0xF0, 0xE8));
  Keyboard->update();
}

void TMainForm::KeyboardMouseMove(QMouseEvent*) {}

void TMainForm::KeyboardMouseDown(QMouseEvent*) {}

void TMainForm::KeyboardMouseUp(QMouseEvent*) {}

void TMainForm::KeyboardMouseLeave() {}

} // namespace app
