#include "cli/command_registry.h"

#include <algorithm>
#include <iostream>

namespace cli {

std::vector<TCommand>& Commands() {
  static std::vector<TCommand> commands;
  return commands;
}

TCommandRegistration::TCommandRegistration(TCommand command) {
  auto& commands = Commands();
  auto at = std::find_if(commands.begin(), commands.end(),
                         [&](const TCommand& c) { return c.Name > command.Name; });
  commands.insert(at, std::move(command));
}

int UsageError(const std::string& name) {
  for (const TCommand& command : Commands()) {
    if (command.Name == name) {
      std::cerr << "usage: chorvanta-cli " << command.Name << ' ' << command.Usage << '\n';
    }
  }
  return ExitUsage;
}

} // namespace cli
