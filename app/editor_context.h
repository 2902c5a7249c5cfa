#pragma once
// Everything the window works on: the program-wide song, history, music,
// player, analyser and event manager, or a test's own instances.
#include "audio/analyser.h"
#include "audio/event_manager.h"
#include "audio/pcm_music.h"
#include "audio/player.h"
#include "song/song_model.h"
#include "song/undo_history.h"

#include <functional>
#include <memory>
#include <string>

namespace app {

struct TEditorContext {
  songData::TSong& Song;
  songData::TUndoHistory& History;
  // The song's music, null without: only the GUI thread replaces it, after
  // playback has stopped; the player, the analysers and the pitch worker hold
  // their own references to what they read.
  std::shared_ptr<const songData::TPcmMusic>& Music;
  player::TPlayer& Player;
  analyser::TAnalyser& Analyser;
  EventMan::TEventManager& Events;
  // Where "settings.ctl" and "main.log" are kept.
  std::string SettingsFolder;
  std::string LogFolder;
  // The player's output; empty for the sound device.
  std::function<std::unique_ptr<player::TAudioOutput>()> MakeOutput;
  // Where unsaved changes are kept against a crash; empty for none.
  std::string RecoveryFolder;
};

// The program's own instances, with its files beside the program.
TEditorContext ProgramContext();

} // namespace app
