// The lyrics memo: one syllable of the edited voice per line, typed text taken
// back into the notes.
#include "app/main_form.h"
#include "song/lyrics_text.h"
#include "song/song_model.h"
#include "song/time_scale.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>

namespace app {

void TMainForm::RebuildLyrics() {
  // The memo lists the notes in time order; the hovered record stays the one
  // the keys act on.
  songData::SortNotes(context_.Song, &View.HoverIndex);
  QString text;
  for (const std::u16string& line : songData::LyricsLines(context_.Song, View.Voice)) {
    text += QString::fromUtf16(line.data(), static_cast<qsizetype>(line.size()));
    text += '\n';
  }
  Lyrics->setUpdatesEnabled(false);
  Lyrics->setPlainText(text);
  Lyrics->setUpdatesEnabled(true);
}

void TMainForm::LyricsChange() {
  // Only what the user types is taken back, not a rebuild's new text.
  if (!Lyrics->hasFocus()) return;
  std::vector<std::u16string> lines;
  for (const QString& line : Lyrics->toPlainText().split('\n'))
    lines.push_back(line.toStdU16String());
  // The memo is what was typed: it is not rebuilt from the notes it changed.
  Commit(songData::TakeBackLyrics(context_.Song, lines, View.Voice) ? chNotes : chView, false);
}

void TMainForm::LyricsClick() {
  if (IsPlaying()) return;
  const int index =
      songData::SyllableOfLine(context_.Song, Lyrics->textCursor().blockNumber(), View.Voice);
  if (index < 0) return;
  const songData::TSong& song = context_.Song;
  View.CursorTime =
      static_cast<float>(song.Notes[index].Start * 60.0f / static_cast<float>(song.BPM * 4));
  FollowCursor(true, true);
}

void TMainForm::LyricsExit() {
  Commit(chView, true);
}

} // namespace app
