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

// A run that takes longer than timeoutSeconds (when given) is stopped with exit code 124.
TCliResult RunCli(const std::vector<std::string>& args, int timeoutSeconds = 0);
