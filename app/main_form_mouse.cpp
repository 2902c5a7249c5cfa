// Mouse editing on the note view.
#include "app/main_form.h"

namespace app {

void TMainForm::MainImgMouseDown(QMouseEvent*) {}

void TMainForm::MainImgMouseMove(QMouseEvent*) {}

void TMainForm::MainImgMouseUp(QMouseEvent*) {}

void TMainForm::MainImgMouseLeave() {}

void TMainForm::FormMouseWheel(QWheelEvent*) {}

void TMainForm::FormKeyDown(QKeyEvent*) {}

} // namespace app
