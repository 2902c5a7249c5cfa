// Copy, Cut and Paste of notes through the clipboard, under the program's own
// format, so that notes travel between songs and between running editors.
#include "app/main_form.h"
#include "editor/note_editing.h"
#include "song/note_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace app {
namespace {

constexpr const char* NoteFormat = "application/x-chorvantamaker";

} // namespace

void TMainForm::ClipboardChanged() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  notesOnClipboard_ = data != nullptr && data->hasFormat(NoteFormat);
  UpdateActions();
}

void TMainForm::EditCopy1Execute() {
  if (View.SelectedCount == 0) return;
  const std::string block = songData::EncodeNoteBlock(context_.Song);
  auto* data = new QMimeData;
  data->setData(NoteFormat, QByteArray(block.data(), static_cast<qsizetype>(block.size())));
  QApplication::clipboard()->setMimeData(data);
}

void TMainForm::EditCut1Execute() {
  if (View.SelectedCount == 0) return;
  EditCopy1Execute();
  songData::DeleteSelectedNotes(context_.Song, &View.HoverIndex);
  View.HoverMode = editor::hmNothing; // the hovered note may be gone
  Commit(chLyrics, true);
}

void TMainForm::EditPaste1Execute() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasFormat(NoteFormat)) return;
  const QByteArray bytes = data->data(NoteFormat);
  bool valid = false;
  const std::vector<songData::TNote> records = songData::DecodeNoteBlock(
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), valid);
  // Nothing to paste is no edit and no undo step.
  if (!valid || records.empty()) return;
  songData::PasteNotes(context_.Song, records, View.CursorTime, View.Voice, &View.HoverIndex);
  View.HoverMode = editor::hmNothing; // the pasted notes may have taken the hovered one in
  Commit(chLyrics, true);
}

} // namespace app
