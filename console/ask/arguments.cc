// The command line every program takes: --help, --version, and nothing else.
#include "console/ask/arguments.h"

#include <iostream>
#include <string_view>

#include "console/ask/exit.h"

#ifndef CONSOLETOOLS_VERSION
#error "the build defines CONSOLETOOLS_VERSION"
#endif

namespace console {

ArgumentsAction parseArguments(int argc, char* const argv[], const char** offending) {
  ArgumentsAction action = ArgumentsAction::runDialogue;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "--version") {
      if (action == ArgumentsAction::runDialogue) {
        action = argument == "--help" ? ArgumentsAction::showHelp : ArgumentsAction::showVersion;
      }
    } else {
      *offending = argv[i];
      return ArgumentsAction::unrecognized;
    }
  }
  return action;
}

void takeArguments(int argc, char* const argv[], std::string_view program, const Usage& usage) {
  const char* offending = nullptr;
  switch (parseArguments(argc, argv, &offending)) {
    case ArgumentsAction::runDialogue:
      return;
    case ArgumentsAction::showHelp:
      std::cout << "Usage: " << program << " [--help | --version]\n"
                << usage.description
                << "Prompts go to standard output; the answers are read from standard input.\n\n"
                << "Exit status:\n"
                << usage.statuses
                << "   4  reading standard input or writing standard output failed\n"
                << "  64  an argument was not recognized\n\n"
                << "See man " << program << '\n';
      exitProgram(0);
    case ArgumentsAction::showVersion:
      std::cout << program << " (consoletools) " << CONSOLETOOLS_VERSION << '\n';
      exitProgram(0);
    case ArgumentsAction::unrecognized:
      std::cerr << program << ": unrecognized argument '" << offending << "'\n"
                << "Try '" << program << " --help'." << std::endl;
      exitProgram(kStatusUsage);
  }
}

}  // namespace console
