#pragma once
// The commands of chorvanta-cli. Each command's file registers it with a
// file-level TCommandRegistration, so adding a command touches no other file.
#include <string>
#include <vector>

namespace cli {

// Exit status: 0 success, 1 failure, 2 usage error.
enum : int { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

using TCommandFunction = int (*)(const std::vector<std::string>& args);

struct TCommand {
  std::string Name;
  std::string Usage; // one line: the arguments after the name
  std::string Summary;
  TCommandFunction Run;
};

std::vector<TCommand>& Commands();

struct TCommandRegistration {
  explicit TCommandRegistration(TCommand command);
};

// Prints "usage: chorvanta-cli NAME USAGE" to standard error; returns ExitUsage.
int UsageError(const std::string& name);

} // namespace cli
