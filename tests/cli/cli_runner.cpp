#include "cli/cli_runner.h"

#include <cstdlib>
#include <sys/wait.h>

TCliResult RunCli(const std::vector<std::string>& args, int timeoutSeconds) {
  TTempFolder folder;
  std::string command = "'" CHORVANTA_CLI "'";
  if (timeoutSeconds > 0) command = "timeout " + std::to_string(timeoutSeconds) + " " + command;
  for (const std::string& arg : args) {
    std::string quoted;
    for (char c : arg)
      quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += " '" + quoted + "'";
  }
  command += " >'" + folder.File("out") + "' 2>'" + folder.File("err") + "' </dev/null";
  int status = std::system(command.c_str());
  TCliResult result;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.Out = folder.Read("out");
  result.Err = folder.Read("err");
  return result;
}
