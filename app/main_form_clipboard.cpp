// Copy, Cut and Paste of notes through the clipboard.
#include "app/main_form.h"

namespace app {

void TMainForm::EditCopy1Execute() {}

void TMainForm::EditCut1Execute() {}

void TMainForm::EditPaste1Execute() {}

} // namespace app
