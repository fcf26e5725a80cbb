// The way out of every program: its exit statuses, and leaving the dialogue by unwinding to
// `main`, so that what the dialogue owns is freed on the way. `main` catches everything and
// returns the status `exitStatusOfCaught` gives, so that no exception ends a program unreported:
//
//   int main(int argc, char* argv[]) try {
//     ...
//   } catch (...) {
//     return console::exitStatusOfCaught();
//   }
#ifndef CONSOLE_ASK_EXIT_H_
#define CONSOLE_ASK_EXIT_H_

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

/// In a catch block: the status the program ends with for the exception being handled. A
/// `ProgramExit` gives its own status. A stream failure that escaped the dialogue ends as
/// `exitAtStreamEnd` does. Anything else means the program could not have what it needed (an
/// allocation or a thread): "Nedostatochno pamyati" on standard error, status 3.
int exitStatusOfCaught() noexcept;

}  // namespace console

#endif  // CONSOLE_ASK_EXIT_H_
