#include "app/command_table.h"

#include "app/main_form.h"

namespace app {

using enum TCommandMenu;

const std::vector<TCommand>& CommandTable() {
  // One command a row: action, caption, tool-bar caption, hint, shortcuts, handler,
  // needs, menu, separator before it, tool-bar slot, icon, checkable.
  // clang-format off
  static const std::vector<TCommand> table = {
      // File
      {&TMainForm::SongNew, "&New Song", "New", "New|Create a new empty song", {"Ctrl+N"}, &TMainForm::SongNewExecute, cnIdle, cmFile, false, 11, QStyle::SP_FileIcon},
      {&TMainForm::SongOpen, "&Open Song...", nullptr, "Open Song|Open a song", {"Ctrl+O"}, &TMainForm::SongOpenExecute, cnIdle, cmFile, false, 12, QStyle::SP_DialogOpenButton},
      {&TMainForm::SongSave, "&Save Song", "Save", "Save Song|Save current song", {"Ctrl+S"}, &TMainForm::SongSaveExecute, cnSong | cnIdle, cmFile, false, 13, QStyle::SP_DialogSaveButton},
      {&TMainForm::SongSaveAs, "Save Song &As...", "Save As...", "Save As|Save current file with different name", {}, &TMainForm::SongSaveExecute, cnSong | cnIdle, cmFile},
      {&TMainForm::SettingsAction, "Settings...", nullptr, "Settings|Set the audio latency of the sound device", {}, &TMainForm::SettingsExecute, cnNothing, cmFile, true},
      {&TMainForm::FileExit1, "E&xit", nullptr, "Exit|Exit application", {"Alt+X"}, &TMainForm::FileExit1Execute, cnNothing, cmFile, true},
      // Edit
      {&TMainForm::UndoAction, "Undo", nullptr, "Undo last action", {"Ctrl+Z"}, &TMainForm::UndoActionExecute, cnNoteEdit | cnUndo, cmEdit, false, 31, QStyle::SP_ArrowBack},
      // Desktop users reach for the other two as well.
      {&TMainForm::RedoAction, "Redo", nullptr, "Redo last action", {"Ctrl+X", "Ctrl+Y", "Ctrl+Shift+Z"}, &TMainForm::RedoActionExecute, cnNoteEdit | cnRedo, cmEdit, false, 32, QStyle::SP_ArrowForward},
      {&TMainForm::SelectAll1, "Select &All", nullptr, nullptr, {"Ctrl+A"}, &TMainForm::SelectAll1Click, cnSong, cmEdit, true},
      {&TMainForm::Deselect1, "&Deselect", nullptr, nullptr, {"Ctrl+D"}, &TMainForm::Deselect1Click, cnSong, cmEdit},
      {&TMainForm::EditCut1, "Cu&t", nullptr, "Cut|Cuts the selection and puts it on the Clipboard", {"Shift+Del"}, &TMainForm::EditCut1Execute, cnNoteEdit | cnSelection, cmEdit, true},
      {&TMainForm::EditCopy1, "&Copy", nullptr, "Copy|Copies the selection and puts it on the Clipboard", {"Ctrl+Ins"}, &TMainForm::EditCopy1Execute, cnSong | cnSelection, cmEdit},
      {&TMainForm::EditPaste1, "&Paste", nullptr, "Paste|Inserts Clipboard contents", {"Shift+Ins"}, &TMainForm::EditPaste1Execute, cnNoteEdit | cnNotesOnClipboard, cmEdit},
      // The usual keys of other programs, without a menu entry of their own.
      {&TMainForm::EditCopy2, "Copy", nullptr, nullptr, {"Ctrl+C"}, &TMainForm::EditCopy1Execute, cnSong | cnSelection, cmNone},
      {&TMainForm::EditPaste2, "Paste", nullptr, nullptr, {"Ctrl+V"}, &TMainForm::EditPaste1Execute, cnNoteEdit | cnNotesOnClipboard, cmNone},
      {&TMainForm::OctaveUp, "Octave Up", nullptr, nullptr, {"Shift+Up"}, &TMainForm::OctaveUpExecute, cnNoteEdit, cmEdit, true},
      {&TMainForm::OctaveDown, "Octave Down", nullptr, nullptr, {"Shift+Down"}, &TMainForm::OctaveDownExecute, cnNoteEdit, cmEdit},
      {&TMainForm::SnapToSungPitch, "Snap to sung pitch", nullptr, "Set the selected notes, or the note under the mouse, to the pitch sung there", {"Ctrl+P"}, &TMainForm::SnapToSungPitchExecute, cnNoteEdit | cnSungPitch, cmEdit, true},
      // Song
      {&TMainForm::ChooseMusic, "Choose Music...", nullptr, "Select a music file for current song", {}, &TMainForm::ChooseMusicExecute, cnSong | cnIdle, cmSong},
      {&TMainForm::ChooseVocals, "Choose Vocals...", nullptr, "Select a recording of the vocals alone for current song", {}, &TMainForm::ChooseVocalsExecute, cnSong | cnIdle, cmSong},
      {&TMainForm::EditTags, "Edit tags...", nullptr, "Edit song's tags (metadata such as album title, author etc.)", {}, &TMainForm::EditTagsExecute, cnSong, cmSong},
      {&TMainForm::DetectTempo, "Detect Tempo...", nullptr, "Find the song's BPM and gap from the beat of its music", {}, &TMainForm::DetectTempoExecute, cnSong | cnNoteEdit, cmSong, true},
      // Play
      {&TMainForm::plPlay, "Play", nullptr, "Play song from current point", {}, &TMainForm::plPlayExecute, cnStopped | cnIdle, cmPlay, false, 22, QStyle::SP_MediaPlay},
      {&TMainForm::plStop, "Stop", nullptr, "Stop playback", {}, &TMainForm::plStopExecute, cnPlaying, cmPlay, false, 21, QStyle::SP_MediaStop},
      {&TMainForm::Slower, "Slower", nullptr, "Play the music slower, at its own pitch", {"Ctrl+Down"}, &TMainForm::SlowerExecute, cnNothing, cmPlay, true},
      {&TMainForm::Faster, "Faster", nullptr, "Play the music faster, up to its own speed", {"Ctrl+Up"}, &TMainForm::FasterExecute, cnNothing, cmPlay},
      // View
      {&TMainForm::ShowSungPitch, "Show sung pitch", nullptr, "Draw the sung pitch over the notes", {}, &TMainForm::ShowSungPitchExecute, cnSungPitch, cmView, false, 0, -1, true},
      {&TMainForm::ZoomIn, "Zoom In", nullptr, "Widen the beats about the play cursor (Ctrl+wheel: about the mouse)", {"Ctrl++", "Ctrl+="}, &TMainForm::ZoomInExecute, cnNothing, cmView, true},
      {&TMainForm::ZoomOut, "Zoom Out", nullptr, "Narrow the beats about the play cursor", {"Ctrl+-"}, &TMainForm::ZoomOutExecute, cnNothing, cmView},
      {&TMainForm::ZoomReset, "Zoom 100 %", nullptr, "Back to the tempo's own width of a beat and height of a row", {"Ctrl+0"}, &TMainForm::ZoomResetExecute, cnNothing, cmView},
      {&TMainForm::FitSong, "Fit Song", nullptr, "Show the whole song in the view", {}, &TMainForm::FitSongExecute, cnNothing, cmView},
      // Help
      {&TMainForm::Help, "User Manual", nullptr, nullptr, {"F1"}, &TMainForm::HelpExecute, cnNothing, cmHelp},
      {&TMainForm::HelpAbout1, "&About...", nullptr, "About|Shows the program's name and version", {}, &TMainForm::HelpAbout1Execute, cnNothing, cmHelp},
  };
  // clang-format on
  return table;
}

} // namespace app
