#pragma once
// Every command of the window in one table: its action, caption, hint,
// shortcuts, handler, where it shows and when it may run. A new command is one
// row here and one handler.
#include <QStyle>
#include <cstdint>
#include <vector>

class QAction;

namespace app {

class TMainForm;

// What a command needs of the window's state; a command runs when it has all.
enum TCommandNeed : std::uint32_t {
  cnNothing = 0,
  cnSong = 1 << 0,      // a song is open
  cnIdle = 1 << 1,      // no song or music is loading
  cnStopped = 1 << 2,   // nothing plays: every edit of the notes needs this
  cnPlaying = 1 << 3,   // playback runs
  cnSelection = 1 << 4, // notes are selected
  cnNotesOnClipboard = 1 << 5,
  cnUndo = 1 << 6,
  cnRedo = 1 << 7,
  cnSungPitch = 1 << 8, // the sung pitch has been tracked
};

// The window's state as the table reads it: the needs it meets.
using TCommandState = std::uint32_t;

// An edit of the notes, by a command, a key or the mouse: while the music plays,
// the player reads the notes it was given, so the notes change only when
// playback is stopped. Notes drawn before a song is opened are edits too.
inline constexpr std::uint32_t cnNoteEdit = cnStopped;

enum class TCommandMenu { cmNone, cmFile, cmEdit, cmSong, cmPlay, cmView, cmHelp };

struct TCommand {
  QAction* TMainForm::*Action;
  const char* Caption;
  // The tool bar's shorter caption, without a mnemonic: a tool button's Alt key
  // would take a menu's. Null: the caption.
  const char* IconText;
  const char* Hint; // "tool tip|status text", or one text for both
  std::vector<const char*> Shortcuts;
  void (TMainForm::*Handler)();
  std::uint32_t Needs;
  TCommandMenu Menu;
  bool SeparatorBefore = false; // in its menu
  // Its place on the tool bar, 0 for none: by tens a group, groups apart.
  int ToolBarSlot = 0;
  int Icon = -1; // a QStyle::StandardPixmap, -1 for none
  bool Checkable = false;
};

// In menu order; the tool bar takes its commands in this order too.
const std::vector<TCommand>& CommandTable();

// Whether a command with these needs may run in this state.
inline bool CommandEnabled(std::uint32_t needs, TCommandState state) {
  return (needs & state) == needs;
}

} // namespace app
