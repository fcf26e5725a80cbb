// The platform services the three programs share: stream setup, reading words and lines with
// a clear end-of-input result, dropping input the user typed ahead, clearing the terminal,
// waiting for a key, the clock, the size of memory and ending the program. This is the only
// code that touches file descriptors, terminal state and the system's limits.
//
// console-streams.cc holds what works on the standard streams alone; console-posix.cc the
// terminal and system services. The fuzzing build replaces console-posix.cc with
// console-fuzz.cc, a small machine without a terminal whose exit returns to the caller.
#ifndef CONSOLE_CONSOLE_H_
#define CONSOLE_CONSOLE_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

namespace console {

/// Gives the standard streams buffers of their own, detached from C stdio, so that input that
/// has arrived can be measured and dropped without waiting. Call first in `main`, before any I/O.
void init();

/// Reads one blank-delimited word, skipping blanks and line ends before it, and keeps at most
/// its first `maxKept` characters in `word`: the rest of the word is read and dropped, so a word
/// of any length needs no memory. The blank after it stays unread. Returns false at end of
/// input (no word came).
bool readWord(std::istream& in, std::string& word, size_t maxKept = std::string::npos);

/// Records that `in` stands at the start of a line, as after a whole-line read:
/// `discardPendingInput` then drops nothing.
void markLineEnded(std::istream& in);

/// Reads one line and hands each of its characters in order to `take(char)`; the line end is
/// consumed and not handed over, so a line of any length needs no memory. Returns false at end
/// of input (not even an unterminated last line was left). Flushes `in`'s tied stream first.
template <typename Take>
bool readLineChars(std::istream& in, Take take) {
  markLineEnded(in);
  const std::istream::sentry ok(in, /*noskipws=*/true);
  if (!ok) return false;
  std::streambuf* buf = in.rdbuf();
  bool any = false;
  for (int c = buf->sbumpc(); c != '\n'; c = buf->sbumpc(), any = true) {
    if (c == std::char_traits<char>::eof()) {
      in.setstate(any ? std::ios_base::eofbit : std::ios_base::eofbit | std::ios_base::failbit);
      return any;
    }
    take(static_cast<char>(c));
  }
  return true;
}

/// Drops what is left of the line on which `readWord` last read a word (blanks, further words,
/// its line end), as far as it has arrived. Never waits for input. Drops nothing after
/// `readLineChars` or before the first read, so a line not yet started is never lost.
void discardPendingInput(std::istream& in);

/// Drops input up to and including the next line end, but only what has already arrived:
/// stops without waiting when nothing more is available.
void discardRestOfLine(std::istream& in);

/// Clears the terminal and puts the cursor home when standard output is a terminal; writes
/// nothing when it is a pipe or a file. Flushes `std::cout` first.
void clearScreen();

/// The common way out when standard input has ended at a prompt: writes one line end on standard
/// output and "Konec vvoda" on standard error, then exits with status 2. The caller releases
/// what it owns first.
[[noreturn]] void exitAtEndOfInput();

/// Flushes standard output and error and ends the program with `status`. Destructors of
/// locals do not run: the caller releases what it owns first.
[[noreturn]] void exitProgram(int status);

/// The machine's physical memory in bytes, the most a block may take without the system
/// killing the process as it is filled; the largest value when it cannot be told.
uint64_t physicalMemory();

/// Waits for one key and ignores it; flushes `std::cout` first. On a terminal the key is read
/// without echo and without waiting for Enter, Ctrl-C and the other control keys count as keys,
/// and the terminal's settings are restored afterwards; when SIGTERM, SIGHUP, SIGINT or SIGQUIT
/// arrives during the wait, the settings are restored and the signal then takes its usual
/// effect. Otherwise behaves as `waitForCharacter(std::cin)`. Returns at end of input too.
void waitForKey();

/// Drops the rest of the current line of `in` as far as it has arrived, then reads one
/// character and ignores it. Returns at end of input, also when `in` throws on failure; `in`'s
/// state is left as it was.
void waitForCharacter(std::istream& in);

/// The current calendar time in whole seconds since 1970-01-01 UTC.
int64_t currentTime();

}  // namespace console

#endif  // CONSOLE_CONSOLE_H_
