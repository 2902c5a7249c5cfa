// The Voice box: which singer of a duet the view, the memo, the keys and the
// player work on. P2 of a song of one singer is empty until notes are added.
#include "app/main_form.h"
#include "editor/note_editing.h"

#include <QComboBox>
#include <QScrollBar>
#include <algorithm>

namespace app {

void TMainForm::VoiceBoxChange() {
  const auto voice = static_cast<std::uint8_t>(VoiceBox->currentIndex() + 1);
  if (voice == View.Voice) return;
  editor::ChooseVoice(context_.Song, View, voice);
  Commit(chLyrics, false);
  const bool empty = std::none_of(context_.Song.Notes.begin(), context_.Song.Notes.end(),
                                  [voice](const songData::TNote& n) { return n.Voice == voice; });
  SetStatusText(empty ? VoiceBox->currentText() + " has no notes yet: new notes start this voice"
                      : QString());
  // Space and the note keys go back to the view.
  Scroll->setFocus();
}

void TMainForm::ResetVoice() {
  View.Voice = songData::FirstVoice;
  VoiceBox->setCurrentIndex(0);
}

} // namespace app
