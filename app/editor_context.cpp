#include "app/editor_context.h"

#include "support/file_io.h"

namespace app {

TEditorContext ProgramContext() {
  return {songData::Song,     songData::History, songData::Music,           player::Player,
          analyser::Analyser, EventMan::Events,  MyServis::ProgramFolder(), {}};
}

} // namespace app
