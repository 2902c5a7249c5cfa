#pragma once
// Runs chorvanta-cli as a child process and collects what it printed.
#include "common/temp_folder.h"

#include <string>
#include <vector>

struct TCliResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

TCliResult RunCli(const std::vector<std::string>& args);
