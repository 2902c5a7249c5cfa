#pragma once
// Where the program finds the files it ships and keeps the files it writes: beside
// itself while that folder can be written (a build tree), otherwise in the user's
// folders of the XDG base directories, as an installed copy needs.
#include <string>

namespace MyServis {

// A file the program ships ("sample.pcm", "manual.htm", the demo song): beside the
// program, else in ../share/chorvanta; the first place when neither has it.
std::string ShippedFile(const std::string& name);
std::string ShippedFile(const std::string& name, const std::string& programFolder);

// The folder of "settings.ctl": the program's own when the folder can be written
// and so can a settings file there; else $XDG_CONFIG_HOME/chorvanta
// (~/.config/chorvanta).
std::string SettingsFolder();
std::string SettingsFolder(const std::string& programFolder, bool programFolderWritable);

// The folder of "main.log": the program's own when it can be written, else
// $XDG_STATE_HOME/chorvanta (~/.local/state/chorvanta). Made when missing.
std::string StateFolder();
std::string StateFolder(const std::string& programFolder, bool programFolderWritable);

// The folder of crash recovery files: always the user's own state folder,
// $XDG_STATE_HOME/chorvanta/recovery, never beside the program or a song.
std::string RecoveryFolder();

} // namespace MyServis
