#include "support/program_files.h"

#include "support/file_io.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace MyServis {
namespace {

bool Writable(const std::string& folder) {
  return access(folder.c_str(), W_OK) == 0;
}

// $variable/chorvanta, or $HOME/fallback/chorvanta when the variable is unset or
// not absolute, as the base directory rules say; made when missing.
std::string UserFolder(const char* variable, const char* fallback) {
  const char* set = std::getenv(variable);
  std::string base;
  if (set != nullptr && set[0] == '/') {
    base = set;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr ? home : "") + "/" + fallback;
  }
  const std::string folder = base + "/chorvanta";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

} // namespace

std::string ShippedFile(const std::string& name, const std::string& programFolder) {
  const std::string beside = programFolder + "/" + name;
  if (std::filesystem::exists(beside)) return beside;
  const std::string shared = programFolder + "/../share/chorvanta/" + name;
  return std::filesystem::exists(shared) ? shared : beside;
}

std::string ShippedFile(const std::string& name) {
  return ShippedFile(name, ProgramFolder());
}

std::string SettingsFolder(const std::string& programFolder, bool keepsBeside) {
  const std::string beside = programFolder + "/settings.ctl";
  // A save replaces the file through its folder: a file or a folder the user
  // cannot write would fail every save of the settings.
  const bool usable = keepsBeside && !(RegularFileExists(beside) && IsReadOnlyFile(beside));
  return usable ? programFolder : UserFolder("XDG_CONFIG_HOME", ".config");
}

bool InstalledCopy(const std::string& programFolder) {
  std::error_code error;
  return !std::filesystem::exists(programFolder + "/sample.pcm", error) &&
         std::filesystem::exists(programFolder + "/../share/chorvanta/sample.pcm", error);
}

bool KeepsFilesBeside(const std::string& programFolder) {
  return !InstalledCopy(programFolder) && Writable(programFolder);
}

std::string SettingsFolder() {
  const std::string folder = ProgramFolder();
  return SettingsFolder(folder, KeepsFilesBeside(folder));
}

std::string StateFolder(const std::string& programFolder, bool keepsBeside) {
  return keepsBeside ? programFolder : UserFolder("XDG_STATE_HOME", ".local/state");
}

std::string StateFolder() {
  const std::string folder = ProgramFolder();
  return StateFolder(folder, KeepsFilesBeside(folder));
}

std::string RecoveryFolder() {
  return UserFolder("XDG_STATE_HOME", ".local/state") + "/recovery";
}

} // namespace MyServis
