#include "app/command_table.h"
#include "main_window_fixture.h"
#include "view_input.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <set>

namespace {

const std::string Song1 = "#TITLE:t\r\n#BPM:200\r\n: 0 4 12 la\r\n: 8 4 14 lo\r\nE\r\n";

// The captions of the enabled commands.
std::set<std::string> Enabled(const app::TMainForm& form) {
  std::set<std::string> enabled;
  for (const app::TCommand& command : app::CommandTable()) {
    const QAction* action = form.*command.Action;
    if (action->isEnabled()) enabled.insert(action->text().toStdString());
  }
  return enabled;
}

std::set<std::string> With(std::set<std::string> base, std::initializer_list<const char*> more) {
  base.insert(more.begin(), more.end());
  return base;
}

std::set<std::string> Without(std::set<std::string> base,
                              std::initializer_list<const char*> fewer) {
  for (const char* caption : fewer)
    base.erase(caption);
  return base;
}

// Each state of the window enables exactly these commands; every edit of the
// notes waits while the music plays.
TEST_F(MainWindow, CommandsAreEnabledByTheWindowsState) {
  QApplication::clipboard()->clear();
  const std::set<std::string> always = {"&New Song",   "&Open Song...", "Settings...", "E&xit",
                                        "Play",        "Slower",        "Faster",      "Octave Up",
                                        "Octave Down", "Zoom In",       "Zoom Out",    "Zoom 100 %",
                                        "Fit Song",    "User Manual",   "&About..."};
  Start();
  EXPECT_EQ(Enabled(*Form), always);
  Form->LoadSong(WriteSong("s.txt", Song1));
  const std::set<std::string> song =
      With(always, {"&Save Song", "Save Song &As...", "Select &All", "&Deselect", "Choose Music...",
                    "Choose Vocals...", "Edit tags...", "Detect Tempo..."});
  EXPECT_EQ(Enabled(*Form), song);
  Form->SelectAll1->trigger();
  const std::set<std::string> selection = With(song, {"Cu&t", "&Copy", "Copy"});
  EXPECT_EQ(Enabled(*Form), selection);
  Form->EditCopy1->trigger();
  const std::set<std::string> clipboard = With(selection, {"&Paste", "Paste"});
  EXPECT_EQ(Enabled(*Form), clipboard);
  Form->OctaveUp->trigger();
  const std::set<std::string> edited = With(clipboard, {"Undo"});
  EXPECT_EQ(Enabled(*Form), edited);
  Form->UndoAction->trigger(); // back to the state before Select All too
  const std::set<std::string> undone =
      With(Without(clipboard, {"Cu&t", "&Copy", "Copy"}), {"Redo"});
  EXPECT_EQ(Enabled(*Form), undone);
  Form->plPlay->trigger();
  EXPECT_EQ(Enabled(*Form), With(Without(undone, {"Play", "&Paste", "Paste", "Octave Up",
                                                  "Octave Down", "Detect Tempo...", "Redo"}),
                                 {"Stop"}));
  const auto pitches = [this] {
    std::vector<std::int32_t> pitches;
    for (const songData::TNote& note : Song.Notes)
      pitches.push_back(note.Pitch);
    return pitches;
  };
  const std::vector<std::int32_t> before = pitches();
  Form->OctaveUp->trigger(); // Shift+Up while playing
  EXPECT_EQ(pitches(), before);
  const int steps = History.UndoCount;
  Form->EditPaste2->trigger(); // Ctrl+V while playing: no edit, no empty undo step
  EXPECT_EQ(History.UndoCount, steps);
  Form->plStop->trigger();
  EXPECT_EQ(Enabled(*Form), undone);
}

// Alt+S opens the Song menu, as Alt+F opens File: every menu has its Alt key, no
// command takes one, and no tool button keeps a mnemonic that would.
TEST_F(MainWindow, EveryMenuHasItsAltKeyAndNoCommandTakesOne) {
  const std::string song = WriteSong("s.txt", Song1);
  Start(QString::fromStdString(song));
  std::set<QChar> menuKeys;
  for (QAction* menu : Form->menuBar()->actions()) {
    const QString title = menu->text();
    const qsizetype amp = title.indexOf('&');
    ASSERT_GE(amp, 0) << title.toStdString();
    EXPECT_TRUE(menuKeys.insert(title[amp + 1].toUpper()).second) << title.toStdString();
  }
  for (const app::TCommand& command : app::CommandTable()) {
    const QAction* action = Form.get()->*command.Action;
    EXPECT_FALSE(action->iconText().contains('&')) << command.Caption;
    for (const QKeySequence& keys : action->shortcuts())
      for (QChar key : menuKeys)
        EXPECT_NE(keys, QKeySequence(QString("Alt+") + key)) << command.Caption;
  }
  viewinput::Key(*Form, Qt::Key_S, Qt::AltModifier);
  EXPECT_FALSE(Folder.Exists("s.bak")); // nothing was saved
}

// Pure: a command runs when the state meets all its needs.
TEST(CommandTable, ACommandNeedsAllItsNeeds) {
  using namespace app;
  EXPECT_TRUE(CommandEnabled(cnNothing, 0));
  EXPECT_TRUE(CommandEnabled(cnNoteEdit, cnSong | cnStopped | cnIdle));
  EXPECT_FALSE(CommandEnabled(cnNoteEdit, cnSong | cnPlaying | cnIdle));
  EXPECT_FALSE(CommandEnabled(cnNoteEdit | cnSelection, cnSong | cnStopped));
  // Every row has an action, a caption and a handler, and no two share a shortcut.
  std::set<std::string> shortcuts;
  for (const TCommand& command : CommandTable()) {
    EXPECT_NE(command.Action, nullptr);
    EXPECT_NE(command.Handler, nullptr);
    EXPECT_NE(std::string(command.Caption), "");
    for (const char* shortcut : command.Shortcuts)
      EXPECT_TRUE(shortcuts.insert(shortcut).second) << shortcut;
  }
}

} // namespace
