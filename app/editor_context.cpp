#include "app/editor_context.h"

#include "support/program_files.h"

namespace app {

TEditorContext ProgramContext() {
  return {songData::Song,
          songData::History,
          songData::Music,
          player::Player,
          analyser::Analyser,
          EventMan::Events,
          MyServis::SettingsFolder(),
          MyServis::StateFolder(),
          {},
          MyServis::RecoveryFolder()};
}

} // namespace app
