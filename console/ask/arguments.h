// The command line every program takes: --help, --version, and nothing else.
#ifndef CONSOLE_ASK_ARGUMENTS_H_
#define CONSOLE_ASK_ARGUMENTS_H_

#include <string_view>

namespace console {

/// What the command line asks for.
enum class ArgumentsAction { runDialogue, showHelp, showVersion, unrecognized };

/// Judges the arguments after the program name: none runs the dialogue; `--help` or `--version`
/// (the first of them wins) shows that; any other argument is unrecognized, and `*offending`
/// points to the first such.
ArgumentsAction parseArguments(int argc, char* const argv[], const char** offending);

/// What `--help` tells of a program beyond what all share (the usage line, where answers are
/// read, statuses 4 and 64, the manual page): what it does, and its own exit statuses as lines
/// "   N  meaning".
struct Usage {
  std::string_view description;
  std::string_view statuses;
};

/// Acts on the command line before anything else is read or written: returns when there are no
/// arguments; `--help` writes the usage on standard output and exits with status 0; `--version`
/// writes "`program` (consoletools) VERSION" and exits with status 0; anything else gets
/// "`program`: unrecognized argument 'ARG'" and "Try '`program` --help'." on standard error and
/// exits with status 64 (see `exitProgram`).
void takeArguments(int argc, char* const argv[], std::string_view program, const Usage& usage);

}  // namespace console

#endif  // CONSOLE_ASK_ARGUMENTS_H_
