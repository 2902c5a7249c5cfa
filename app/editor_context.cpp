#include "app/editor_context.h"

#include "support/program_files.h"

namespace app {
namespace {

std::shared_ptr<const songData::TPcmMusic> ProgramMusic;

} // namespace

TEditorContext ProgramContext() {
  return {songData::Song,
          songData::History,
          ProgramMusic,
          player::Player,
          analyser::Analyser,
          EventMan::Events,
          MyServis::SettingsFolder(),
          MyServis::StateFolder(),
          {},
          MyServis::RecoveryFolder()};
}

} // namespace app
