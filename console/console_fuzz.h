// What the fuzzing build's console adds: the exit of a program as an exception to catch.
#ifndef CONSOLE_CONSOLE_FUZZ_H_
#define CONSOLE_CONSOLE_FUZZ_H_

namespace console {

/// Thrown by `exitProgram` in the fuzzing build instead of ending the process.
struct ProgramExit {
  int status;
};

}  // namespace console

#endif  // CONSOLE_CONSOLE_FUZZ_H_
