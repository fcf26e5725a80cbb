// The guarded prompt of the programs that read numbers: standard input in failure-exception
// mode, a fixed message for an answer that does not parse, and a clear result once the dialogue
// cannot go on.
//
// The dialogue stops, for good, at the first of: standard input ended (a read met its end once,
// also after an unterminated last line), a read failed (the stream is marked bad), or a write to
// standard output failed (found when it is flushed, which happens before every read).
#ifndef CONSOLE_PROMPT_H_
#define CONSOLE_PROMPT_H_

#include <iostream>
#include <limits>
#include <string_view>

namespace console {

/// True when the dialogue cannot go on: standard output failed, or standard input ended or
/// failed.
bool dialogueStopped();

/// Throws std::ios_base::failure when std::cin is bad: its last read failed.
void throwOnReadError();

/// Flushes standard output before a read from std::cin. When that write fails, nothing is read:
/// std::cin's failure bit is set instead (which throws in failure-exception mode).
void flushBeforeRead();

/// Extracts `value` from std::cin as `std::cin >> value` does, after `flushBeforeRead`. A read
/// error throws as a parse error does, so that a value the read could not complete is never
/// taken; `askUntilAccepted` then finds the dialogue stopped.
template <typename T>
void readValue(T& value) {
  flushBeforeRead();
  std::cin >> value;
  throwOnReadError();
}

/// As above, in bounded memory however long the number (see `extractDouble`).
void readValue(double& value);

/// A guarded prompt: runs `pass` until it returns true (its answer was accepted). `pass` writes
/// its prompts and reads with `readValue` from std::cin in failure-exception mode, returning
/// false for an answer out of range. When a value does not parse, writes `inputError` on
/// standard error, drops the rest of the line and runs `pass` again. Returns false, asking no
/// more, once the dialogue has stopped (`dialogueStopped`).
template <typename Pass>
bool askUntilAccepted(std::string_view inputError, Pass pass) {
  for (;;) {
    try {
      if (pass()) return true;
    } catch (const std::ios_base::failure&) {
      // At end of input, clearing the state and asking again would ask for ever.
      if (dialogueStopped()) return false;
      std::cerr << inputError << std::endl;
      std::cin.clear();
      std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
  }
}

}  // namespace console

#endif  // CONSOLE_PROMPT_H_
