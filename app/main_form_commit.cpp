// The one edit path: every change of the song or of what is shown ends here,
// and the follow-up steps run in one fixed order.
#include "app/main_form.h"
#include "editor/note_editing.h"
#include "song/song_model.h"
#include "song/undo_history.h"

namespace app {

void TMainForm::Commit(std::uint32_t changes, bool undoStep) {
  songData::TSong& song = context_.Song;
  const bool songChanged = (changes & (chNotes | chLyrics | chTiming | chSong)) != 0;
  if (undoStep) songData::PushUndo(context_.History, song, false);
  if (changes & (chLyrics | chSong)) RebuildLyrics();
  if (changes & (chTiming | chSong)) {
    UpdateBeatScale();
    UpdateTimeline();
    ShowSongParameters();
  }
  // The hovered record may be gone, and the selection is counted here only.
  if (View.HoverIndex >= static_cast<std::int64_t>(song.Notes.size())) {
    View.HoverIndex = -1;
    View.HoverMode = editor::hmNothing;
  }
  View.SelectedCount = editor::CountSelected(song);
  if (songChanged) {
    player::PublishPlayerSong(context_.Player, song, View.Voice);
    // What the status says of the hovered note follows the edit.
    hoverShown_ = -1;
    ShowHoveredNote();
  }
  UpdateCaption();
  if (songChanged) KeepRecovery(false);
  UpdateActions();
  DrawView();
  DrawLineDisplay();
}

} // namespace app
