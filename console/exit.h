// The way out of every program: its exit statuses, and leaving the dialogue by unwinding to
// `main`, so that what the dialogue owns is freed on the way. `main` catches `ProgramExit` and
// returns its status:
//
//   int main(int argc, char* argv[]) try {
//     ...
//   } catch (const console::ProgramExit& exit) {
//     return exit.status;
//   }
#ifndef CONSOLE_EXIT_H_
#define CONSOLE_EXIT_H_

namespace console {

/// Exit statuses shared by the programs.
inline constexpr int kStatusEndOfInput = 2;
inline constexpr int kStatusOutOfMemory = 3;
inline constexpr int kStatusStreamFailed = 4;
inline constexpr int kStatusUsage = 64;

/// Thrown by `exitProgram`: the program ends with `status` once it reaches `main`.
struct ProgramExit {
  int status;
};

/// The way out when the dialogue has stopped (`dialogueStopped`). When standard output failed:
/// "Oshibka zapisi" on standard error, status 4. Otherwise a line end on standard output ends
/// the prompt's line, then on standard error "Oshibka chteniya" with status 4 after a read
/// error, or "Konec vvoda" with status 2 at end of input.
[[noreturn]] void exitAtStreamEnd();

/// Writes "Nedostatochno pamyati" on standard error: what was asked for cannot be held.
void reportOutOfMemory();

/// Flushes standard output and error and leaves for `main` with `status`, or with status 4
/// after writing "Oshibka zapisi" on standard error when standard output failed.
[[noreturn]] void exitProgram(int status);

}  // namespace console

#endif  // CONSOLE_EXIT_H_
