// The tag editor, opened from the Song menu.
#include "app/main_form.h"
#include "app/tag_form.h"
#include "song/tag_table.h"

namespace app {

void TMainForm::EditTagsExecute() {
  songData::TSong& song = context_.Song;
  tagForm_->Open(song.Tags);
  Dialogs.RunTagEditor();
  // There is no cancel: a close after a change keeps it.
  if (!tagForm_->Changed()) return;
  tagEditor::WriteTagTable(tagForm_->Table(), song);
  Commit(chSong, false);
}

} // namespace app
