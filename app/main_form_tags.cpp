// The tag editor, opened from the Song menu.
#include "app/main_form.h"

namespace app {

void TMainForm::EditTagsExecute() {}

} // namespace app
