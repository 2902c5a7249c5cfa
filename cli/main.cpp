// chorvanta-cli: the command-line companion of the song editor.
#include "cli/command_registry.h"
#include "support/exceptions.h"

#include <exception>
#include <iostream>

namespace {

void PrintHelp(std::ostream& out) {
  out << "chorvanta-cli: the command-line companion of Chorvanta Song Editor\n\n"
         "usage: chorvanta-cli COMMAND ARGUMENTS...\n"
         "       chorvanta-cli --version\n\n";
  for (const cli::TCommand& command : cli::Commands()) {
    out << "  " << command.Name << ' ' << command.Usage << "\n      " << command.Summary << '\n';
  }
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp(std::cerr);
    return cli::ExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(std::cout);
    return cli::ExitOk;
  }
  if (args[0] == "--version") {
    std::cout << "chorvanta-cli " << CHORVANTA_VERSION << '\n';
    return cli::ExitOk;
  }
  for (const cli::TCommand& command : cli::Commands()) {
    if (command.Name != args[0]) continue;
    try {
      return command.Run(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const std::exception& e) {
      // The location codes of the support library's exceptions are for a log, not the user.
      std::cerr << MyServis::WithoutTracePrefixes(MyServis::MessageOf(e)) << '\n';
      return cli::ExitFailure;
    }
  }
  std::cerr << "chorvanta-cli: unknown command '" << args[0] << "'\n";
  PrintHelp(std::cerr);
  return cli::ExitUsage;
}
