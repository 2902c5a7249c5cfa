#include "app/lyrics_memo.h"

#include <QMimeData>

namespace app {

// Only text goes into the memo: anything else (the editor's own note blocks, an
// image) is no lyrics.
bool TLyricsMemo::canInsertFromMimeData(const QMimeData* source) const {
  return source != nullptr && source->hasText();
}

void TLyricsMemo::insertFromMimeData(const QMimeData* source) {
  if (!canInsertFromMimeData(source)) return;
  // A line break of another system is one line break here, as typed.
  QString text = source->text();
  text.replace("\r\n", "\n").replace('\r', '\n');
  textCursor().insertText(text);
  ensureCursorVisible();
}

} // namespace app
