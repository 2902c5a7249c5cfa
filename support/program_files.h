#pragma once
// Where the program finds the files it ships and keeps the files it writes: beside
// itself when it runs from a build tree it can write, otherwise in the user's
// folders of the XDG base directories, as an installed copy does whoever runs it
// (root included, who could write into /usr/bin).
#include <string>

namespace MyServis {

// A file the program ships ("sample.pcm", "manual.htm", the demo song): beside the
// program, else in ../share/chorvanta; the first place when neither has it.
std::string ShippedFile(const std::string& name);
std::string ShippedFile(const std::string& name, const std::string& programFolder);

// An installed copy finds its shipped files in ../share/chorvanta, not beside it.
bool InstalledCopy(const std::string& programFolder);
// A copy run from its build tree that can write there keeps its files beside itself.
bool KeepsFilesBeside(const std::string& programFolder);

// The folder of "settings.ctl": the program's own when it keeps its files beside
// itself and a settings file there can be written; else $XDG_CONFIG_HOME/chorvanta
// (~/.config/chorvanta).
std::string SettingsFolder();
std::string SettingsFolder(const std::string& programFolder, bool keepsBeside);

// The folder of "main.log": the program's own when it keeps its files beside
// itself, else $XDG_STATE_HOME/chorvanta (~/.local/state/chorvanta). Made when missing.
std::string StateFolder();
std::string StateFolder(const std::string& programFolder, bool keepsBeside);

// The folder of crash recovery files: always the user's own state folder,
// $XDG_STATE_HOME/chorvanta/recovery, never beside the program or a song.
std::string RecoveryFolder();

} // namespace MyServis
